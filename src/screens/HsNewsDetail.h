#pragma once

#include "documents/NewsItem.h"
#include "screens/EdBaseViewController.h"
#include "screens/HsReturnListModel.h"
#include "screens/HsUserSession.h"

#include <QString>
#include <QtQml/qqmlregistration.h>

// One notice or news item, fetched when the screen opens: its title, date and whole text; the
// title bar's back button closes it. When the fetch fails it shows the text an earlier fetch
// kept, if any, and otherwise stays blank. A notice that asks
// for a reply shows a teacher everybody's replies and how many people replied, and gives a parent
// a reply box (a one-tap "已阅" or a text) above the parent's own replies. Replies that could not
// be fetched are said to be missing, with a retry, never shown as none.
class HsNewsDetail : public EdBaseViewController
{
    Q_OBJECT
    // Named apart from the interface file "HsNewsDetail.qml" that shows it.
    QML_NAMED_ELEMENT(HsNewsDetailController)
    QML_UNCREATABLE("Screens are made by their controllers")
    Q_PROPERTY(QString newsTitle READ newsTitle NOTIFY itemChanged)
    Q_PROPERTY(QString publicDate READ publicDate NOTIFY itemChanged)
    Q_PROPERTY(QString newsContent READ newsContent NOTIFY itemChanged)
    Q_PROPERTY(bool canReply READ canReply NOTIFY itemChanged)
    Q_PROPERTY(bool showsReplies READ showsReplies NOTIFY itemChanged)
    Q_PROPERTY(QString replyText READ replyText WRITE setReplyText NOTIFY replyTextChanged)
    Q_PROPERTY(QAbstractItemModel *replies READ replies CONSTANT)
    Q_PROPERTY(QString repliersText READ repliersText NOTIFY repliesChanged)
    Q_PROPERTY(bool repliesFailed READ repliesFailed NOTIFY repliesChanged)
public:
    // The interface file that shows this screen.
    static constexpr auto interfaceFile = "HsNewsDetail";

    HsNewsDetail(ScreenPort &port, const HsUserSession &session, QObject *parent = nullptr);

    int32_t newsId() const { return m_newsId; }
    void setNewsId(int32_t newsId) { m_newsId = newsId; }
    int32_t forceReturn() const { return m_forceReturn; }
    void setForceReturn(int32_t forceReturn) { m_forceReturn = forceReturn; }

    // Starts the fetch of the item (and of its replies, for a notice that asks for them) under the
    // progress overlay.
    void viewDidLoad();

    bool succeeded() const { return m_bSuccess; }
    QString newsTitle() const { return m_newsTitle; }
    QString publicDate() const { return m_publicDate; }
    QString newsContent() const { return m_newsContent; }
    // A parent may reply to a notice that asks for it; a teacher sees the replies.
    bool canReply() const { return m_bSuccess && m_forceReturn != 0 && m_loginType != 0; }
    bool showsReplies() const { return m_bSuccess && m_forceReturn != 0 && m_loginType == 0; }
    QString replyText() const { return m_replyText; }
    void setReplyText(const QString &text);
    HsReturnListModel *replies() { return &m_replies; }
    // "已回复 N 人", or that the replies could not be loaded.
    QString repliersText() const;
    // The replies could not be fetched: what is listed is not what was replied.
    bool repliesFailed() const { return m_repliesFailed; }

    // Fetches the replies again, not the item, under the progress overlay.
    Q_INVOKABLE void retryReplies();

    // The reply box: sends its text, or the one-tap "已阅".
    Q_INVOKABLE void pressReply();
    Q_INVOKABLE void pressRead();

signals:
    void itemChanged();
    // The item's text is shown: the headline has been read.
    void shown(int32_t newsId);
    void replyTextChanged();
    void repliesChanged();
    // The signed-in account has replied to this notice.
    void answered(int32_t newsId);

private:
    struct Fetched
    {
        std::optional<NewsItem> item;
        std::optional<std::vector<ReturnItem>> replies;
    };
    struct Sent
    {
        bool answered = false;
        int32_t code = 0;
        std::optional<std::string> error;
        std::optional<std::vector<ReturnItem>> replies;
    };

    // The replies this screen lists: everybody's for a teacher, the parent's own for a parent.
    int32_t repliesOf() const { return m_loginType == 0 ? 0 : m_userId; }
    static std::optional<std::vector<ReturnItem>> fetchReplies(int32_t newsId, int32_t userId);
    void overlayWasHidden(const Fetched &fetched);
    void showStoredText();
    void send(const QString &text, bool fromBox);
    void replySent(const Sent &sent, bool fromBox);
    void showReplies(const std::optional<std::vector<ReturnItem>> &replies);

    int32_t m_newsId = 0;
    int32_t m_forceReturn = 0;
    int32_t m_userId = 0;
    int32_t m_loginType = 0;
    std::string m_account;
    bool m_bSuccess = false;
    bool m_repliesFailed = false;
    QString m_newsTitle;
    QString m_publicDate;
    QString m_newsContent;
    QString m_replyText;
    HsReturnListModel m_replies;
};
