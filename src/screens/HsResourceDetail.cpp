#include "HsResourceDetail.h"

#include "services/ResourceService.h"

#include <QPointer>
#include <memory>

HsResourceDetail::HsResourceDetail(ScreenPort &port, QObject *parent)
    : EdBaseViewController(port, QStringLiteral("资源详情"), parent)
{}

void HsResourceDetail::viewDidLoad()
{
    m_bSuccess = false;
    auto fetched = std::make_shared<std::optional<ResourceItem>>();
    QPointer<HsResourceDetail> self(this);
    port().runUnderOverlay(
        QStringLiteral("获取中, 请稍候..."),
        [resourceId = m_resourceId, fetched] {
            ResourceServiceResponse<ResourceItem> response = ResourceService().GetResource(resourceId);
            if (response.answered && response.code == 0)
                *fetched = response.item.value_or(ResourceItem{});
        },
        [self, fetched] {
            if (self && *fetched)
                self->overlayWasHidden(**fetched);
        });
}

void HsResourceDetail::overlayWasHidden(const ResourceItem &item)
{
    m_bSuccess = true;
    m_item = item;
    emit itemChanged();
    m_picture.getImageFromURL(hsDisplayText(item.resImage));
}
