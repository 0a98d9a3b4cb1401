#pragma once

#include "screens/EdBaseViewController.h"

#include <QString>
#include <QtQml/qqmlregistration.h>

// One of three fixed texts, chosen by `type`: 1 about the company, 2 how to reach us, 3 the
// version. Any other type leaves the text empty.
class HsAboutUs : public EdBaseViewController
{
    Q_OBJECT
    // Named apart from the interface file "HsAboutUs.qml" that shows it.
    QML_NAMED_ELEMENT(HsAboutUsController)
    QML_UNCREATABLE("Screens are made by their controllers")
    Q_PROPERTY(int type READ type WRITE setType NOTIFY typeChanged)
    Q_PROPERTY(QString textAbout READ textAbout WRITE setTextAbout NOTIFY textAboutChanged)
public:
    // The interface file that shows this screen.
    static constexpr auto interfaceFile = "HsAboutUs";

    static constexpr int aboutType = 1;
    static constexpr int contactType = 2;
    static constexpr int versionType = 3;

    explicit HsAboutUs(ScreenPort &port, int type = 0, QObject *parent = nullptr);

    int type() const { return m_type; }
    void setType(int type);
    QString textAbout() const { return m_textAbout; }
    void setTextAbout(const QString &text);

    static QString companyText();
    static QString contactText();
    static QString versionText();

signals:
    void typeChanged();
    void textAboutChanged();

private:
    void showTextOfType();

    int m_type = 0;
    QString m_textAbout;
};
