#pragma once

#include "screens/HsAreaActivity.h"
#include "screens/HsLocalSearch.h"
#include "screens/HsPaging.h"
#include "screens/HsStudentOutbox.h"
#include "screens/HsStudentRecordModel.h"
#include "widgets/HsRefreshCycle.h"
#include "widgets/HsTaskRunner.h"

#include <QtQml/qqmlregistration.h>
#include <optional>

// The student record area: homework (1), test scores (2), state reports (3) and the home-school
// chat (4), one category at a time, refreshed by pulling the list down; homework, state reports
// and chat load further pages when the user scrolls to the end. Teachers post homework
// and state reports; teachers and parents post to the chat. Every record loaded goes into the
// account's search, which finds it again by the words of its text.
//
// A post goes into the account's outbox before it is sent. One that got no usable answer shows in
// its list marked as not sent, and is sent again when the area starts or is shown again, when its
// category is opened, or at a tap on its row's button.
class HsStudentActivity : public HsAreaActivity
{
    Q_OBJECT
    // Named apart from the interface file "HsStudentActivity.qml" that shows it.
    QML_NAMED_ELEMENT(HsStudentActivityController)
    QML_UNCREATABLE("Areas are made by the main screen")
    Q_PROPERTY(int category READ category NOTIFY categoryChanged)
    Q_PROPERTY(bool postBoxVisible READ isPostBoxVisible NOTIFY categoryChanged)
    Q_PROPERTY(QString postText READ postText WRITE setPostText NOTIFY postTextChanged)
    Q_PROPERTY(HsStudentRecordModel *datas READ datas CONSTANT)
    Q_PROPERTY(RefreshHeaderView *refreshHeader READ refreshHeader CONSTANT)
    Q_PROPERTY(HsPaging *paging READ paging CONSTANT)
    Q_PROPERTY(HsLocalSearch *search READ search CONSTANT)
public:
    // The interface file that shows this area, in the main screen or on a screen of its own.
    static constexpr auto interfaceFile = "HsStudentActivity";

    static constexpr int homeworkCategory = 1;
    static constexpr int scoresCategory = 2;
    static constexpr int statesCategory = 3;
    static constexpr int chatCategory = 4;

    HsStudentActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                      QObject *parent = nullptr);

    void viewDidLoad() override;
    void viewWillAppear() override;

    int category() const { return m_category; }
    bool isPostBoxVisible() const;
    QString postText() const { return m_postText; }
    void setPostText(const QString &text);
    HsStudentRecordModel *datas() { return &m_datas; }
    RefreshHeaderView *refreshHeader() { return m_refresh.header(); }
    HsPaging *paging() { return &m_paging; }
    HsLocalSearch *search() { return &m_search; }

    // A category button (tag 1 to 4): switches when a network route exists, silently not otherwise.
    Q_INVOKABLE void pressCategory(int tag);
    // Switches to category c and fetches it under the overlay, even when it is already shown.
    void updateCategory(int c);
    // The user reached the end of the list (or tapped a failed page): loads the next page.
    Q_INVOKABLE void loadMore();
    // The post button.
    Q_INVOKABLE void pressPost();
    // A touch on row `row`: opens the record's detail.
    Q_INVOKABLE void didSelectRow(int row);
    // The send button of a row that waits in the outbox: sends its post again, under the overlay.
    Q_INVOKABLE void resendRow(int row);

signals:
    void categoryChanged();
    void postTextChanged();
    // The post field gives up the keyboard.
    void keyboardDismissed();

private:
    struct Request
    {
        int category = 0;
        LoginResultItem user;
    };
    using Fetched = std::optional<HsStudentRecords>;
    // A further page: how many rows the service sent, and the records that follow those shown.
    struct Page
    {
        std::size_t rows = 0;
        HsStudentRecords records;

        std::size_t size() const { return rows; }
    };
    using FetchedPage = std::optional<Page>;

    Request request() const { return {m_category, session().user()}; }
    static Fetched fetchPage(const Request &request, int page);
    void applyFetched(const Request &request, Fetched fetched);
    static FetchedPage fetchFurtherPage(const Request &request, int page,
                                        const std::vector<ChatItem> &shownChats);
    std::vector<ChatItem> lastShownChats() const;
    HsRefreshCycle::Fetch reloadTableViewDataSource();
    void postReturned(HsPostOutcome outcome, bool kept);
    // Claims the posts of the outbox that wait (of `pageCategory` only, when its first page is
    // given) and sends them again in the background.
    void sendOutbox(int pageCategory = 0, std::optional<HsStudentRecords> firstPage = std::nullopt);
    static HsStudentOutbox::PageFetch firstPageFetch(const LoginResultItem &user);
    void roundReturned(const HsOutboxRound &round, bool asked);
    void reloadOutbox();
    void openFound(const SearchEntry &entry);

    int m_category = 0;
    QString m_postText;
    HsStudentRecordModel m_datas;
    HsPaging m_paging;
    HsRefreshCycle m_refresh;
    HsTaskRunner m_pages;
    HsTaskRunner m_outboxRounds;
    HsLocalSearch m_search;
};
