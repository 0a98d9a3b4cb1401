#include "NetImagePicture.h"

#include <QPainter>

NetImagePicture::NetImagePicture(QQuickItem *parent) : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
}

void NetImagePicture::setSource(NetImage *source)
{
    if (source == m_source)
        return;
    disconnect(m_imageChanged);
    m_source = source;
    if (source)
        m_imageChanged = connect(source, &NetImage::imageChanged, this, [this] { update(); });
    emit sourceChanged();
    update();
}

void NetImagePicture::paint(QPainter *painter)
{
    if (!m_source || !m_source->hasPicture() || width() <= 0 || height() <= 0)
        return;
    const QImage image = m_source->image();
    const QSizeF covered = QSizeF(image.size()).scaled(size(), Qt::KeepAspectRatioByExpanding);
    const QRectF target((width() - covered.width()) / 2, (height() - covered.height()) / 2, covered.width(),
                        covered.height());
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->setClipRect(QRectF(0, 0, width(), height()));
    painter->drawImage(target, image);
}
