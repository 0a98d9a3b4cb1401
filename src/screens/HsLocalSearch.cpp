#include "HsLocalSearch.h"

HsLocalSearch::HsLocalSearch(std::vector<SearchKind> kinds, Open open, QObject *parent)
    : QObject(parent), m_kinds(std::move(kinds)), m_open(std::move(open))
{}

void HsLocalSearch::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    emit textChanged();
    searchAgain();
}

void HsLocalSearch::follow(const QAbstractItemModel &list)
{
    connect(&list, &QAbstractItemModel::modelReset, this, &HsLocalSearch::searchAgain);
    connect(&list, &QAbstractItemModel::rowsInserted, this, &HsLocalSearch::searchAgain);
}

void HsLocalSearch::searchAgain()
{
    m_results.setEntries(active() ? SearchDao().find(m_text.toStdString(), m_kinds)
                                  : std::vector<SearchEntry>{});
    emit resultsChanged();
}

void HsLocalSearch::openResult(int row)
{
    if (row < 0 || row >= m_results.rowCount())
        return;
    m_open(m_results.entries()[static_cast<size_t>(row)]);
}
