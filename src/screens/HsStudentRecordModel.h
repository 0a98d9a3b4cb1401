#pragma once

#include "cache/OutboxDao.h"
#include "cache/SearchDao.h"
#include "documents/ChatItem.h"
#include "documents/HomeWorkItem.h"
#include "documents/StudentStateItem.h"
#include "documents/TestScoreItem.h"

#include <QAbstractListModel>
#include <QtQml/qqmlregistration.h>
#include <variant>
#include <vector>

// The records of one category of the student record, kept together with their kind, so that a
// row is always drawn with the layout and fields of the category that fetched it: homework (1),
// test scores (2) and state reports (3) as CellHomeWork rows 60 high, chat (4) as CellChat rows
// 90 high. Posts of the shown kind that wait in the outbox come first, where a new record shows,
// newest first, marked as not sent.
using HsStudentRecords = std::variant<std::vector<HomeWorkItem>, std::vector<TestScoreItem>,
                                      std::vector<StudentStateItem>, std::vector<ChatItem>>;

class HsStudentRecordModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The records belong to the student record area")
    Q_PROPERTY(Kind kind READ kind NOTIFY kindChanged)
public:
    enum Role
    {
        KindRole = Qt::UserRole + 1,
        TitleRole,
        DateRole,
        UserRole,
        ContentRole,
        RowHeightRole,
        OutboxStateRole,
        OutboxIdRole,
    };

    // Whether a row is a record of the service or a post waiting in the outbox.
    enum OutboxState
    {
        Delivered,
        Unsent,
        Sending,
    };
    Q_ENUM(OutboxState)

    // The category the records belong to, numbered as the student record's category buttons.
    enum Kind
    {
        HomeWork = 1,
        TestScores = 2,
        StateReports = 3,
        Chat = 4,
    };
    Q_ENUM(Kind)

    explicit HsStudentRecordModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    Kind kind() const { return static_cast<Kind>(m_records.index() + 1); }
    const HsStudentRecords &records() const { return m_records; }
    void setRecords(HsStudentRecords records);
    // Adds the records of a further page of the same kind after the rows; how many were added.
    // Records with an id leave out those already shown (the list may have moved on the server
    // between two pages); chat messages have none, and come already joined to what is shown.
    std::size_t appendRecords(const HsStudentRecords &records);
    // The posts waiting in the outbox, of every category; those of the shown kind are rows.
    void setOutbox(std::vector<OutboxPost> posts);
    const std::vector<OutboxPost> &unsentRows() const { return m_unsent; }

    // The score line of a subject: "语文: 9.5分" for 9.5, "语文:100.0分" for 100.
    static QString scoreLine(const TestScoreItem &score);

    // What a search finds of the records: their row's text as title and text, the date line
    // their detail shows, their date, and a key that the same record keeps each time it is loaded.
    static std::vector<SearchEntry> searchEntries(const HsStudentRecords &records);
    // The kind of record that search entries of `kind` are, if they are records.
    static std::optional<Kind> kindOf(SearchKind kind);

signals:
    void kindChanged();

private:
    QVariant unsentField(const OutboxPost &post, int role) const;
    void showUnsentOfKind();

    HsStudentRecords m_records;
    std::vector<OutboxPost> m_outbox;
    // The rows of the outbox shown before the records, newest first.
    std::vector<OutboxPost> m_unsent;
};
