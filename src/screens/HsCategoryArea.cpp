#include "HsCategoryArea.h"

void HsCategoryArea::pressCategory(int tag)
{
    if (!networkAvailable() || tag == m_category || m_categoryBar.buttonFrame(tag).isNull())
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
