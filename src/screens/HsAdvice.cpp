#include "HsAdvice.h"

#include "screens/HsOffThread.h"
#include "services/FeedBackService.h"

namespace {

// Sends the feedback; true only when the service answered and accepted it.
bool postFeedback(const QString &text, int32_t userId, int32_t loginType)
{
    const HsServiceResponse response = FeedBackService().PostFeedBack(text.toStdString(), userId, loginType);
    return response.answered && response.code == 0;
}

} // namespace

HsAdvice::HsAdvice(ScreenPort &port, const HsUserSession &session, QObject *parent)
    : QObject(parent), m_port(port), m_session(session)
{}

void HsAdvice::setTextAdvice(const QString &text)
{
    if (m_textAdvice == text)
        return;
    m_textAdvice = text;
    emit textAdviceChanged();
}

void HsAdvice::pressButton(int tag)
{
    if (tag == Submit)
        submit();
    else if (tag == Back)
        m_port.pop();
}

void HsAdvice::submit()
{
    if (m_textAdvice.isEmpty()) {
        m_port.showToast(QStringLiteral("请输入！"));
        return;
    }
    const QString text = m_textAdvice;
    const int32_t userId = m_session.user().userId;
    const int32_t loginType = m_session.loginType();
    ScreenPort &port = m_port;
    hsRunUnderOverlay(
        m_port, QStringLiteral("提交中, 请稍候..."), this,
        [&port, text, userId, loginType] {
            const bool sent = postFeedback(text, userId, loginType);
            port.showToast(sent ? QStringLiteral("提交成功！") : QStringLiteral("提交失败！"));
        },
        [this] { overlayWasHidden(); });
}

// Whatever the answer, the typed text is gone once the overlay has hidden.
void HsAdvice::overlayWasHidden()
{
    setTextAdvice(QString());
    emit keyboardDismissed();
}
