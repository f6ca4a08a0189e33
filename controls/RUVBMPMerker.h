// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QObject>
#include <QSize>

#include <functional>

// Holds one picture for the window (the background pictures). BMPWidth and
// BMPHeight mirror the held picture: values written to them are not applied,
// writing only refreshes them from the picture.
class TRUVBMPMerker : public QObject
{
    Q_OBJECT
    // Declared in the order a window description applies them: the picture
    // first, so that the size written afterwards refreshes from it.
    Q_PROPERTY(QImage Bitmap READ BitmapCopy WRITE setBitmap)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_PROPERTY(int BMPWidth READ BMPWidth WRITE setBMPWidth)
    Q_PROPERTY(int BMPHeight READ BMPHeight WRITE setBMPHeight)

public:
    explicit TRUVBMPMerker(QObject* owner = nullptr);
    ~TRUVBMPMerker() override;

    // The held picture itself, not a copy.
    QImage* Bitmap();
    const QImage* Bitmap() const;
    // Takes a copy of the picture; the argument stays the caller's.
    void setBitmap(const QImage& picture);
    // A picture of this size that `make` draws when it is first read: the
    // size is mirrored at once, the picture held from the first read on. The
    // window's first paint shows one of its three backgrounds; the others
    // are drawn when a line first needs them.
    void setBitmapSource(const QSize& size, std::function<QImage()> make);

    bool Transparent() const { return m_transparent; }
    void setTransparent(bool value) { m_transparent = value; }

    int BMPWidth() const { return m_bmpWidth; }
    void setBMPWidth(int ignored);
    int BMPHeight() const { return m_bmpHeight; }
    void setBMPHeight(int ignored);

private:
    QImage BitmapCopy() const { return *Bitmap(); }
    QSize heldSize() const { return m_make ? m_pendingSize : m_bitmap.size(); }

    // Made from m_make on the first read; until then m_pendingSize stands
    // for its size.
    mutable QImage m_bitmap;
    mutable std::function<QImage()> m_make;
    QSize m_pendingSize;
    // A QImage has no transparency flag of its own; the holder keeps it.
    bool m_transparent = false;
    int m_bmpWidth = 0;
    int m_bmpHeight = 0;
};
