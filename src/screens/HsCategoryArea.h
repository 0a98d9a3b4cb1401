#pragma once

#include "screens/HsAreaActivity.h"
#include "screens/HsCategoryBarModel.h"

#include <chrono>
#include <optional>

// An area that shows one category of its category bar at a time. A tap on another category's
// button moves the highlight there and shows that category: with a network route, any category;
// without one, only a category whose list the cache holds. A list shown from the cache for want
// of a fresh one says under the category bar when it was stored ("更新于 12-08 10:23").
class HsCategoryArea : public HsAreaActivity
{
    Q_OBJECT
    Q_PROPERTY(int category READ category NOTIFY categoryChanged)
    Q_PROPERTY(HsCategoryBarModel *menu READ categoryBar CONSTANT)
    Q_PROPERTY(QString updatedText READ updatedText NOTIFY updatedTextChanged)
public:
    using StoredAt = std::optional<std::chrono::system_clock::time_point>;

    int category() const { return m_category; }
    HsCategoryBarModel *categoryBar() { return &m_categoryBar; }
    // "更新于 MM-dd HH:mm" in local time while the list shown is an older stored one, else empty.
    QString updatedText() const { return m_updatedText; }

    // A category button (tag: its 1-based position).
    Q_INVOKABLE void pressCategory(int tag);
    // Shows category n.
    virtual void selectedCategory(int n) = 0;

signals:
    void categoryChanged();
    void updatedTextChanged();

protected:
    using HsAreaActivity::HsAreaActivity;

    // Moves the highlight behind button `tag` and makes it the chosen category.
    void chooseCategory(int tag);
    // Whether the cache holds a list for category `tag`, so that it can be shown with no network.
    virtual bool hasCachedList(int tag) const = 0;

    // The list shown is the one the cache stored at `storedAt`, kept because no fresh one could be
    // fetched; a list never stored says nothing.
    void showStoredList(StoredAt storedAt);
    // The list shown was fetched just now, or is not a stored one.
    void showFreshList();
    // A list read from the cache: it counts as kept for want of a fresh one when there is no
    // network route, and as current otherwise (the cache is then the quick way to show it).
    void showCachedList(StoredAt storedAt);

private:
    void setUpdatedText(const QString &text);

    int m_category = 0;
    HsCategoryBarModel m_categoryBar;
    QString m_updatedText;
};
