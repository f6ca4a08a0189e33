// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/RUVBMPMerker.h"

#include <utility>

TRUVBMPMerker::TRUVBMPMerker(QObject* owner)
    : QObject(owner)
{
}

TRUVBMPMerker::~TRUVBMPMerker() = default;

QImage* TRUVBMPMerker::Bitmap()
{
    return const_cast<QImage*>(std::as_const(*this).Bitmap());
}

const QImage* TRUVBMPMerker::Bitmap() const
{
    if (m_make) {
        // Taken out first: whatever the drawing does, it runs once.
        const std::function<QImage()> make = std::exchange(m_make, nullptr);
        m_bitmap = make();
    }
    return &m_bitmap;
}

void TRUVBMPMerker::setBitmap(const QImage& picture)
{
    // QImage copies on write: the holder's picture and the caller's separate
    // as soon as either is changed, without paying for a copy at start-up,
    // and the copy cannot fail here, so the holder always has a picture.
    m_make = nullptr;
    m_bitmap = picture;
    m_bmpWidth = m_bitmap.width();
    m_bmpHeight = m_bitmap.height();
}

void TRUVBMPMerker::setBitmapSource(const QSize& size, std::function<QImage()> make)
{
    m_bitmap = QImage();
    m_make = std::move(make);
    m_pendingSize = m_make ? size : QSize();
    m_bmpWidth = heldSize().width();
    m_bmpHeight = heldSize().height();
}

void TRUVBMPMerker::setBMPWidth(int ignored)
{
    Q_UNUSED(ignored);
    m_bmpWidth = heldSize().width();
}

void TRUVBMPMerker::setBMPHeight(int ignored)
{
    Q_UNUSED(ignored);
    m_bmpHeight = heldSize().height();
}
