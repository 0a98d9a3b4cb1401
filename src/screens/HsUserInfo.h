#pragma once

#include "screens/HsUserSession.h"
#include "screens/ScreenPort.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QStringListModel>
#include <QtQml/qqmlregistration.h>

// The signed-in user's profile, read-only: account name, real name and phone on top, then one
// row each for school, class, address and the parents' names and work places, each row with a
// caption that says what it is, so an empty value still leaves a readable row.
class HsUserInfo : public QObject
{
    Q_OBJECT
    // Named apart from the interface file "HsUserInfo.qml" that shows it.
    QML_NAMED_ELEMENT(HsUserInfoController)
    QML_UNCREATABLE("Screens are made by their controllers")
    Q_PROPERTY(QString userName READ userName CONSTANT)
    Q_PROPERTY(QString realName READ realName CONSTANT)
    Q_PROPERTY(QString phone READ phone CONSTANT)
    Q_PROPERTY(QAbstractItemModel *tableUser READ tableUser CONSTANT)
    Q_PROPERTY(QStringList captions READ captions CONSTANT)
public:
    // The interface file that shows this screen.
    static constexpr auto interfaceFile = "HsUserInfo";

    enum Button
    {
        Back = 1,
    };
    Q_ENUM(Button)

    HsUserInfo(ScreenPort &port, const HsUserSession &session, QObject *parent = nullptr);

    QString userName() const { return m_userName; }
    QString realName() const { return m_realName; }
    QString phone() const { return m_phone; }
    QAbstractItemModel *tableUser() { return &m_tableUser; }
    // The caption of each row of tableUser, in row order.
    static QStringList captions();

    // Back closes the profile.
    Q_INVOKABLE void pressButton(int tag);

private:
    ScreenPort &m_port;
    QString m_userName;
    QString m_realName;
    QString m_phone;
    QStringListModel m_tableUser;
};
