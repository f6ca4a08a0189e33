#include "controls/RUVBMPMerker.h"

TRUVBMPMerker::TRUVBMPMerker(QObject* owner)
    : QObject(owner)
{
}

TRUVBMPMerker::~TRUVBMPMerker() = default;

void TRUVBMPMerker::setBitmap(const QImage& picture)
{
    // QImage copies on write: the holder's picture and the caller's separate
    // as soon as either is changed, without paying for a copy at start-up,
    // and the copy cannot fail here, so the holder always has a picture.
    m_bitmap = picture;
    m_bmpWidth = m_bitmap.width();
    m_bmpHeight = m_bitmap.height();
}

void TRUVBMPMerker::setBMPWidth(int ignored)
{
    Q_UNUSED(ignored);
    m_bmpWidth = m_bitmap.width();
}

void TRUVBMPMerker::setBMPHeight(int ignored)
{
    Q_UNUSED(ignored);
    m_bmpHeight = m_bitmap.height();
}
