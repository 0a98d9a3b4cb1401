#include "HsCategoryArea.h"

#include <QDateTime>

void HsCategoryArea::pressCategory(int tag)
{
    if (tag == m_category || m_categoryBar.buttonFrame(tag).isNull())
        return;
    if (!networkAvailable() && !hasCachedList(tag))
        return;
    chooseCategory(tag);
    selectedCategory(tag);
}

void HsCategoryArea::chooseCategory(int tag)
{
    m_categoryBar.updateMenuBar(tag);
    m_category = tag;
    emit categoryChanged();
}

void HsCategoryArea::showStoredList(StoredAt storedAt)
{
    if (!storedAt) {
        showFreshList();
        return;
    }
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(storedAt->time_since_epoch());
    const QDateTime local = QDateTime::fromSecsSinceEpoch(seconds.count());
    setUpdatedText(QStringLiteral("更新于 ") + local.toString(QStringLiteral("MM-dd HH:mm")));
}

void HsCategoryArea::showFreshList()
{
    setUpdatedText(QString());
}

void HsCategoryArea::showCachedList(StoredAt storedAt)
{
    if (networkAvailable())
        showFreshList();
    else
        showStoredList(storedAt);
}

void HsCategoryArea::setUpdatedText(const QString &text)
{
    if (text == m_updatedText)
        return;
    m_updatedText = text;
    emit updatedTextChanged();
}
