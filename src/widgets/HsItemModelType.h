#pragma once

#include <QAbstractItemModel>
#include <QtQml/qqml.h>

// Lets the interface files know the item models that controllers hand to their views by the
// models' common base class.
struct HsItemModelType
{
    Q_GADGET
    QML_FOREIGN(QAbstractItemModel)
    QML_ANONYMOUS
};
