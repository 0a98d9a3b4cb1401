#pragma once

#include "screens/EdBaseViewController.h"

#include <QString>
#include <QtQml/qqmlregistration.h>

// One record of the student record opened from its row: the whole text and its date line, under
// a title bar with the category's name and a back button.
class HsRecordDetail : public EdBaseViewController
{
    Q_OBJECT
    // Named apart from the interface file "HsRecordDetail.qml" that shows it.
    QML_NAMED_ELEMENT(HsRecordDetailController)
    QML_UNCREATABLE("Screens are made by their controllers")
    Q_PROPERTY(QString text READ text CONSTANT)
    Q_PROPERTY(QString dateLine READ dateLine CONSTANT)
public:
    // The interface file that shows this screen.
    static constexpr auto interfaceFile = "HsRecordDetail";

    HsRecordDetail(ScreenPort &port, const QString &title, const QString &text, const QString &dateLine,
                   QObject *parent = nullptr)
        : EdBaseViewController(port, title, parent), m_text(text), m_dateLine(dateLine)
    {}

    QString text() const { return m_text; }
    QString dateLine() const { return m_dateLine; }

private:
    QString m_text;
    QString m_dateLine;
};
