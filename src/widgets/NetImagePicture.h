#pragma once

#include "widgets/NetImage.h"

#include <QPointer>
#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

// Paints the picture of a NetImage over the whole item, scaled to cover it with its proportions
// kept (the overflow is cut off), and nothing while it has none.
class NetImagePicture : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(NetImage *source READ source WRITE setSource NOTIFY sourceChanged)
public:
    explicit NetImagePicture(QQuickItem *parent = nullptr);

    NetImage *source() const { return m_source; }
    void setSource(NetImage *source);

    void paint(QPainter *painter) override;

signals:
    void sourceChanged();

private:
    QPointer<NetImage> m_source;
    QMetaObject::Connection m_imageChanged;
};
