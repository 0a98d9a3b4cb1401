#pragma once

#include "screens/HsAreaActivity.h"
#include "screens/HsCategoryBarModel.h"

// An area that shows one category of its category bar at a time. A tap on another category's
// button, when there is a network route, moves the highlight there and shows that category.
class HsCategoryArea : public HsAreaActivity
{
    Q_OBJECT
    Q_PROPERTY(int category READ category NOTIFY categoryChanged)
    Q_PROPERTY(HsCategoryBarModel *menu READ categoryBar CONSTANT)
public:
    int category() const { return m_category; }
    HsCategoryBarModel *categoryBar() { return &m_categoryBar; }

    // A category button (tag: its 1-based position).
    Q_INVOKABLE void pressCategory(int tag);
    // Shows category n.
    virtual void selectedCategory(int n) = 0;

signals:
    void categoryChanged();

protected:
    using HsAreaActivity::HsAreaActivity;

    // Moves the highlight behind button `tag` and makes it the chosen category.
    void chooseCategory(int tag);

private:
    int m_category = 0;
    HsCategoryBarModel m_categoryBar;
};
