#include "controls/RUVBMPMerker.h"

TRUVBMPMerker::TRUVBMPMerker(QObject* owner)
    : QObject(owner)
    , m_bitmap(std::make_unique<QImage>())
{
}

TRUVBMPMerker::~TRUVBMPMerker() = default;

void TRUVBMPMerker::setBitmap(const QImage& picture)
{
    if (!m_bitmap)
        return; // a failed copy leaves the holder without a picture for good
    QImage copy = picture.copy();
    if (copy.isNull() && !picture.isNull()) {
        // Out of memory for the copy: drop the picture rather than keep a
        // half-assigned one.
        m_bitmap.reset();
        m_transparent = false;
        m_bmpWidth = 0;
        m_bmpHeight = 0;
        return;
    }
    *m_bitmap = std::move(copy);
    m_bmpWidth = m_bitmap->width();
    m_bmpHeight = m_bitmap->height();
}

bool TRUVBMPMerker::Transparent() const
{
    return m_bitmap && m_transparent;
}

void TRUVBMPMerker::setTransparent(bool value)
{
    if (m_bitmap)
        m_transparent = value;
}

void TRUVBMPMerker::setBMPWidth(int ignored)
{
    Q_UNUSED(ignored);
    m_bmpWidth = m_bitmap ? m_bitmap->width() : 0;
}

void TRUVBMPMerker::setBMPHeight(int ignored)
{
    Q_UNUSED(ignored);
    m_bmpHeight = m_bitmap ? m_bitmap->height() : 0;
}
