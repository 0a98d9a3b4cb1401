#include "HsResourceDetail.h"

#include "screens/HsOffThread.h"
#include "services/ResourceService.h"

HsResourceDetail::HsResourceDetail(ScreenPort &port, QObject *parent)
    : EdBaseViewController(port, QStringLiteral("资源详情"), parent)
{}

void HsResourceDetail::viewDidLoad()
{
    m_bSuccess = false;
    hsRunUnderOverlay(
        port(), QStringLiteral("获取中, 请稍候..."), this,
        [resourceId = m_resourceId]() -> std::optional<ResourceItem> {
            ResourceServiceResponse<ResourceItem> response = ResourceService().GetResource(resourceId);
            if (!response.answered || response.code != 0)
                return std::nullopt;
            return response.item.value_or(ResourceItem{});
        },
        [this](const std::optional<ResourceItem> &fetched) {
            if (fetched)
                overlayWasHidden(*fetched);
        });
}

void HsResourceDetail::overlayWasHidden(const ResourceItem &item)
{
    m_bSuccess = true;
    m_item = item;
    emit itemChanged();
    m_picture.getImageFromURL(hsDisplayText(item.resImage));
}
