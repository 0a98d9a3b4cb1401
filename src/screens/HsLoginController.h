#pragma once

#include "screens/CheckButton.h"
#include "screens/HsAccountSwitcher.h"
#include "screens/HsUserSession.h"
#include "screens/ScreenPort.h"
#include "settings/HsAccountBook.h"
#include "settings/HsDefaults.h"
#include "settings/HsPasswordStore.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <functional>
#include <thread>

// The login screen, root of the navigation stack: the role (teacher or parent), account name
// and password, "remember password" and "sign in automatically", and the sign-in itself. A
// successful sign-in stores the user in the session, opens the cache database, refreshes the
// cached category lists on a thread of its own and then pushes the main tab screen.
//
// A sign-in with "remember password" ticked remembers the account and keeps its password in the
// password store; the settings screen switches to a remembered account through this screen.
class HsLoginController : public QObject, public HsAccountSwitcher
{
    Q_OBJECT
    // Named apart from the interface file "HsLoginController.qml" that shows it.
    QML_NAMED_ELEMENT(HsLoginScreenController)
    QML_UNCREATABLE("The login screen is made by the application delegate")
    Q_PROPERTY(CheckButton *cbLoginTeacher READ cbLoginTeacher CONSTANT)
    Q_PROPERTY(CheckButton *cbLoginStudent READ cbLoginStudent CONSTANT)
    Q_PROPERTY(CheckButton *cbRemember READ cbRemember CONSTANT)
    Q_PROPERTY(CheckButton *cbAutoLogin READ cbAutoLogin CONSTANT)
    Q_PROPERTY(QString account READ account WRITE setAccount NOTIFY accountChanged)
    Q_PROPERTY(QString password READ password WRITE setPassword NOTIFY passwordChanged)
    Q_PROPERTY(bool signingIn READ isSigningIn NOTIFY signingInChanged)
public:
    enum Button
    {
        SignIn = 1,
        ForgottenPassword = 2,
        Help = 3,
    };
    Q_ENUM(Button)

    using NetworkCheck = std::function<bool()>;
    using DefaultsList = QList<QPair<QString, QString>>;

    // `documentsDirectory` holds the cache database opened at each successful sign-in.
    HsLoginController(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                      const QString &documentsDirectory, QObject *parent = nullptr);
    // Waits for a category refresh still running.
    ~HsLoginController() override;

    // Replaces the test for a network route (by default the platform's) made before a sign-in.
    void setNetworkCheck(NetworkCheck check);

    // Builds the form from the stored defaults and starts the automatic sign-in if it is ticked
    // (once the remembered password has been read).
    void viewDidLoad();

    void switchTo(const HsRememberedAccount &account) override;
    void forget(const HsRememberedAccount &account, std::function<void()> done) override;
    void keepNewPassword(const HsRememberedAccount &account, const QString &password) override;
    HsPasswordStore &passwordStore() { return m_passwords; }

    CheckButton *cbLoginTeacher() { return &m_cbLoginTeacher; }
    CheckButton *cbLoginStudent() { return &m_cbLoginStudent; }
    CheckButton *cbRemember() { return &m_cbRemember; }
    CheckButton *cbAutoLogin() { return &m_cbAutoLogin; }

    // The texts of the account and password fields.
    QString account() const { return m_account; }
    void setAccount(const QString &account);
    QString password() const { return m_password; }
    void setPassword(const QString &password);

    // From the start of a sign-in until it failed or the main screen was pushed.
    bool isSigningIn() const { return m_signingIn; }

    // SignIn signs in, ForgottenPassword opens the forgotten-password page, Help the help page.
    Q_INVOKABLE void pressButton(int tag);

    // A password that draws the warning: fewer than 7 UTF-16 code units, or 5 to 17 decimal
    // digits and nothing else.
    static bool isWeakPassword(const QString &password);

    // The defaults a successful sign-in writes, in the order they are written.
    static DefaultsList signInDefaults(bool teacher, const QString &userName, bool remember, bool autoLogin);

signals:
    void accountChanged();
    void passwordChanged();
    void signingInChanged();
    // The text fields give up the keyboard.
    void keyboardDismissed();

private:
    void setUpCheckButton(CheckButton &button, int style, int tag);
    void restoreChoices();
    HsRememberedAccount lastAccount() const;
    QString adoptEarlierPassword();
    void fillFormRows(const QString &earlierPassword);
    void startSignIn(bool teacher);
    void doLogin();
    void beginSession();
    void overlayWasHidden();
    void keepSignInChoices();
    void showSignedInAccount();
    void doGetNewsType();
    void processedNewsType();
    void checkButtonClicked(CheckButton *button);
    void setSigningIn(bool signingIn);
    bool storedFlag(const QString &key) const;
    bool passwordRemembered() const;

    ScreenPort &m_port;
    HsUserSession &m_session;
    HsDefaults &m_defaults;
    QString m_documentsDirectory;
    NetworkCheck m_networkCheck;
    HsAccountBook m_accountBook;
    HsPasswordStore m_passwords;

    CheckButton m_cbLoginTeacher;
    CheckButton m_cbLoginStudent;
    CheckButton m_cbRemember;
    CheckButton m_cbAutoLogin;
    QString m_account;
    QString m_password;

    // The sign-in in progress: written on the interface thread before the worker starts.
    QString m_userName;
    QString m_passWord;
    bool m_asTeacher = false;
    // A switch from the settings screen rather than a sign-in from this form.
    bool m_switching = false;
    // Written by the worker before it returns, read after the overlay has hidden.
    bool m_bSuccess = false;
    LoginResultItem m_signedIn;
    bool m_signingIn = false;
    std::jthread m_refreshThread;
};
