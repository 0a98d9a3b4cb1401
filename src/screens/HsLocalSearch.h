#pragma once

#include "cache/SearchDao.h"
#include "screens/HsSearchResultModel.h"

#include <QAbstractItemModel>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <functional>
#include <vector>

// The search field of an area over what the signed-in account has loaded or cached, with no
// network: while the field holds text, the entries of the area's kinds that contain every word
// take the list's place; a tap on one opens its detail.
class HsLocalSearch : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("A search belongs to its area")
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(bool active READ active NOTIFY textChanged)
    Q_PROPERTY(bool nothingFound READ nothingFound NOTIFY resultsChanged)
    Q_PROPERTY(HsSearchResultModel *results READ results CONSTANT)
public:
    using Open = std::function<void(const SearchEntry &)>;

    HsLocalSearch(std::vector<SearchKind> kinds, Open open, QObject *parent = nullptr);

    QString text() const { return m_text; }
    // Searches again for the new text at once: the lookup is quick enough to follow typing.
    void setText(const QString &text);
    bool active() const { return !m_text.trimmed().isEmpty(); }
    bool nothingFound() const { return active() && m_results.rowCount() == 0; }
    HsSearchResultModel *results() { return &m_results; }

    // Searches again whenever `list` (the area's own list) takes in rows, so that rows loaded
    // while the field holds text show among the results.
    void follow(const QAbstractItemModel &list);

    // A tap on result `row`.
    Q_INVOKABLE void openResult(int row);

signals:
    void textChanged();
    void resultsChanged();

private:
    void searchAgain();

    std::vector<SearchKind> m_kinds;
    Open m_open;
    QString m_text;
    HsSearchResultModel m_results;
};
