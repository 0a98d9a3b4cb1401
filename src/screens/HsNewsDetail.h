#pragma once

#include "documents/NewsItem.h"
#include "screens/EdBaseViewController.h"

#include <QString>

// One notice or news item, fetched when the screen opens: its title, date and whole text. The
// title bar's back button closes it. It stays blank when the fetch fails.
class HsNewsDetail : public EdBaseViewController
{
    Q_OBJECT
    Q_PROPERTY(QString newsTitle READ newsTitle NOTIFY itemChanged)
    Q_PROPERTY(QString publicDate READ publicDate NOTIFY itemChanged)
    Q_PROPERTY(QString newsContent READ newsContent NOTIFY itemChanged)
public:
    explicit HsNewsDetail(ScreenPort &port, QObject *parent = nullptr);

    int32_t newsId() const { return m_newsId; }
    void setNewsId(int32_t newsId) { m_newsId = newsId; }
    int32_t forceReturn() const { return m_forceReturn; }
    void setForceReturn(int32_t forceReturn) { m_forceReturn = forceReturn; }

    // Starts the fetch under the progress overlay.
    void viewDidLoad();

    bool succeeded() const { return m_bSuccess; }
    QString newsTitle() const { return m_newsTitle; }
    QString publicDate() const { return m_publicDate; }
    QString newsContent() const { return m_newsContent; }

signals:
    void itemChanged();

private:
    void overlayWasHidden(const NewsItem &item);

    int32_t m_newsId = 0;
    int32_t m_forceReturn = 0;
    bool m_bSuccess = false;
    QString m_newsTitle;
    QString m_publicDate;
    QString m_newsContent;
};
