#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <QSize>

// A photo-like picture: a gradient under soft shapes and some grain, so that it compresses like
// a photo rather than like a flat colour.
inline QImage benchPhoto(int seed, QSize size)
{
    QRandomGenerator random(static_cast<quint32>(seed) + 1);
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor::fromHsv(random.bounded(360), 120, 230));
    sky.setColorAt(1, QColor::fromHsv(random.bounded(360), 160, 90));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    const int shapeScale = size.width() / 6;
    for (int i = 0; i < 60; ++i) {
        painter.setBrush(QColor::fromHsv(random.bounded(360), random.bounded(255), random.bounded(255), 120));
        painter.drawEllipse(QPoint(random.bounded(size.width()), random.bounded(size.height())),
                            random.bounded(shapeScale / 10, shapeScale),
                            random.bounded(shapeScale / 10, shapeScale));
    }
    painter.end();
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grain = static_cast<int>(random.bounded(24)) - 12;
            const QRgb p = line[x];
            line[x] = qRgb(qBound(0, qRed(p) + grain, 255), qBound(0, qGreen(p) + grain, 255),
                           qBound(0, qBlue(p) + grain, 255));
        }
    }
    return image;
}

// The JPEG file of a photo-like picture.
inline QByteArray benchPhotoJpeg(int seed, QSize size, int quality = 90)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    benchPhoto(seed, size).save(&buffer, "JPG", quality);
    return bytes;
}
