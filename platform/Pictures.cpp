// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/Pictures.h"

#include "platform/SvgDrawing.h"

#include <QPainter>
#include <QtMath>

#include <map>
#include <tuple>

namespace {

const QString VectorKey = QStringLiteral("tiraso-vector");

// Drawing, bitmap size and density: the same drawing serves pictures of one
// size only, but nothing stops a caller from naming it for another.
using PictureKey = std::tuple<QString, int, int, qreal>;

std::map<PictureKey, QImage>& renderedPictures()
{
    static std::map<PictureKey, QImage> pictures;
    return pictures;
}

int picturesMade = 0;

} // namespace

QImage PictureWithVector(QImage bitmap, const QString& svgResource)
{
    bitmap.setText(VectorKey, svgResource);
    return bitmap;
}

QString VectorSourceOf(const QImage& picture)
{
    return picture.text(VectorKey);
}

QImage WithoutVector(QImage picture)
{
    if (!VectorSourceOf(picture).isEmpty())
        picture.setText(VectorKey, QString());
    return picture;
}

QImage VectorPictureForPixelRatio(const QImage& picture, qreal ratio)
{
    if (!(ratio > 1) || picture.isNull())
        return {};
    const QString source = VectorSourceOf(picture);
    if (source.isEmpty())
        return {};

    auto& pictures = renderedPictures();
    const PictureKey key{source, picture.width(), picture.height(), ratio};
    if (const auto found = pictures.find(key); found != pictures.end())
        return found->second;

    // Rendered at exactly the ratio: where that is no whole number of device
    // pixels, the last column or row stays empty rather than the whole
    // drawing being stretched to fill it.
    const QSizeF size = QSizeF(picture.size()) * ratio;
    QImage result(qCeil(size.width()), qCeil(size.height()), QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    bool drawn = false;
    {
        QPainter painter(&result);
        drawn = SvgDrawing::Render(source, painter, QRectF(QPointF(0, 0), size));
    }
    if (drawn) {
        result.setDevicePixelRatio(ratio);
        ++picturesMade;
    } else {
        result = QImage();
        qWarning("Picture drawing \"%s\" cannot be read; the bitmap is enlarged instead", qPrintable(source));
    }
    // A drawing that cannot be read is not tried again at every paint.
    pictures.emplace(key, result);
    return result;
}

int VectorPicturesMade()
{
    return picturesMade;
}
