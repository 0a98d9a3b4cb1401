#include "HsNewsDetail.h"

#include "screens/HsText.h"
#include "services/NewsService.h"

#include <QPointer>
#include <memory>

HsNewsDetail::HsNewsDetail(ScreenPort &port, QObject *parent)
    : EdBaseViewController(port, QStringLiteral("详细内容"), parent)
{}

void HsNewsDetail::viewDidLoad()
{
    auto fetched = std::make_shared<std::optional<NewsItem>>();
    QPointer<HsNewsDetail> self(this);
    port().runUnderOverlay(
        QStringLiteral("获取中, 请稍候..."),
        [newsId = m_newsId, fetched] {
            NewsServiceResponse<NewsItem> response = NewsService().GetTheNews(newsId);
            if (response.answered && response.code == 0)
                *fetched = response.item.value_or(NewsItem{});
        },
        [self, fetched] {
            if (self && *fetched)
                self->overlayWasHidden(**fetched);
        });
}

void HsNewsDetail::overlayWasHidden(const NewsItem &item)
{
    m_bSuccess = true;
    m_newsTitle = hsDisplayText(item.newsTitle);
    m_publicDate = hsDisplayText(item.publicDate);
    m_newsContent = hsDisplayText(item.newsContent);
    emit itemChanged();
}
