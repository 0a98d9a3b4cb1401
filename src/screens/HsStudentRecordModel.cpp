#include "HsStudentRecordModel.h"

#include "screens/HsText.h"
#include "screens/HsUnseenItems.h"

#include <QDateTime>
#include <algorithm>

namespace {

constexpr int recordRowHeight = 60;
constexpr int chatRowHeight = 90;

// "%@ %@" of a name and a date, each empty when absent.
QString nameAndDate(const std::optional<std::string> &name, const std::optional<std::string> &date)
{
    return hsDisplayText(name) + QLatin1Char(' ') + hsDisplayText(date);
}

QVariant field(const HomeWorkItem &item, int role)
{
    switch (role) {
    case HsStudentRecordModel::TitleRole:
    case HsStudentRecordModel::ContentRole:
        return hsDisplayText(item.content);
    case HsStudentRecordModel::DateRole:
        return nameAndDate(item.teacherName, item.hwDate);
    case HsStudentRecordModel::UserRole:
        return hsDisplayText(item.teacherName);
    default:
        return {};
    }
}

QVariant field(const TestScoreItem &item, int role)
{
    switch (role) {
    case HsStudentRecordModel::TitleRole:
    case HsStudentRecordModel::ContentRole:
        return HsStudentRecordModel::scoreLine(item);
    case HsStudentRecordModel::DateRole:
        return hsDisplayText(item.testDate);
    case HsStudentRecordModel::UserRole:
        return hsDisplayText(item.studentName);
    default:
        return {};
    }
}

QVariant field(const StudentStateItem &item, int role)
{
    switch (role) {
    case HsStudentRecordModel::TitleRole:
    case HsStudentRecordModel::ContentRole:
        return hsDisplayText(item.content);
    case HsStudentRecordModel::DateRole:
        return nameAndDate(item.teacherName, item.stateDate);
    case HsStudentRecordModel::UserRole:
        return hsDisplayText(item.teacherName);
    default:
        return {};
    }
}

QVariant field(const ChatItem &item, int role)
{
    switch (role) {
    case HsStudentRecordModel::TitleRole:
    case HsStudentRecordModel::ContentRole:
        return hsDisplayText(item.content);
    case HsStudentRecordModel::DateRole:
        return hsDisplayText(item.chatDate);
    case HsStudentRecordModel::UserRole:
        return hsDisplayText(item.userName);
    default:
        return {};
    }
}

// The records of a further page that the list does not show yet, told apart by their ids.
std::vector<HomeWorkItem> unseen(const std::vector<HomeWorkItem> &shown,
                                 const std::vector<HomeWorkItem> &page)
{
    return hsUnseenItems(shown, page, [](const HomeWorkItem &item) { return item.hwId; });
}

std::vector<StudentStateItem> unseen(const std::vector<StudentStateItem> &shown,
                                     const std::vector<StudentStateItem> &page)
{
    return hsUnseenItems(shown, page, [](const StudentStateItem &item) { return item.stateId; });
}

// The scores come whole, on one page.
std::vector<TestScoreItem> unseen(const std::vector<TestScoreItem> &, const std::vector<TestScoreItem> &page)
{
    return page;
}

// Chat messages carry no id: two alike may both be real, so the area joins their pages itself.
std::vector<ChatItem> unseen(const std::vector<ChatItem> &, const std::vector<ChatItem> &page)
{
    return page;
}

std::string keyOf(const HomeWorkItem &item)
{
    return std::to_string(item.hwId);
}

std::string keyOf(const StudentStateItem &item)
{
    return std::to_string(item.stateId);
}

std::string keyOf(const TestScoreItem &item)
{
    return item.subjectName.value_or(std::string()) + '\n' + item.testDate.value_or(std::string());
}

// A chat message has no id: its author, time and text tell it apart.
std::string keyOf(const ChatItem &item)
{
    return std::to_string(item.userId) + '\n' + item.chatDate.value_or(std::string()) + '\n' +
           item.content.value_or(std::string());
}

std::optional<std::string> dateOf(const HomeWorkItem &item)
{
    return item.hwDate;
}

std::optional<std::string> dateOf(const StudentStateItem &item)
{
    return item.stateDate;
}

std::optional<std::string> dateOf(const TestScoreItem &item)
{
    return item.testDate;
}

std::optional<std::string> dateOf(const ChatItem &item)
{
    return item.chatDate;
}

std::optional<std::string> fieldText(const auto &item, int role)
{
    return field(item, role).toString().toStdString();
}

// The date line of a record's detail: a chat message's author and time, another record's date row.
std::optional<std::string> detailDateLine(const ChatItem &item)
{
    return (hsDisplayText(item.userName) + QLatin1Char(' ') + hsDisplayText(item.chatDate)).toStdString();
}

std::optional<std::string> detailDateLine(const auto &item)
{
    return fieldText(item, HsStudentRecordModel::DateRole);
}

} // namespace

HsStudentRecordModel::HsStudentRecordModel(QObject *parent) : QAbstractListModel(parent) {}

int HsStudentRecordModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>(m_unsent.size()) +
           std::visit([](const auto &records) { return static_cast<int>(records.size()); }, m_records);
}

QVariant HsStudentRecordModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == KindRole)
        return kind();
    if (role == RowHeightRole)
        return kind() == Chat ? chatRowHeight : recordRowHeight;
    if (role == Qt::DisplayRole)
        role = TitleRole;
    const auto row = static_cast<size_t>(index.row());
    if (row < m_unsent.size())
        return unsentField(m_unsent[row], role);
    if (role == OutboxStateRole)
        return Delivered;
    if (role == OutboxIdRole)
        return qint64{0};
    return std::visit([&](const auto &records) { return field(records[row - m_unsent.size()], role); },
                      m_records);
}

// A post waiting in the outbox, drawn as its list draws the record it becomes: the author as the
// post is sent (homework by the teacher's name) and the time it was written.
QVariant HsStudentRecordModel::unsentField(const OutboxPost &post, int role) const
{
    const QString author = post.category == HomeWork && post.realName ? hsDisplayText(post.realName)
                                                                      : hsDisplayText(post.userName);
    const QString written =
        QDateTime::fromSecsSinceEpoch(post.writtenAt).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    switch (role) {
    case TitleRole:
    case ContentRole:
        return QString::fromStdString(post.text);
    case DateRole:
        return kind() == Chat ? written : author + QLatin1Char(' ') + written;
    case UserRole:
        return author;
    case OutboxStateRole:
        return post.sending ? Sending : Unsent;
    case OutboxIdRole:
        return qint64{post.id};
    default:
        return {};
    }
}

QHash<int, QByteArray> HsStudentRecordModel::roleNames() const
{
    return {{KindRole, "kind"},
            {TitleRole, "title"},
            {DateRole, "date"},
            {UserRole, "user"},
            {ContentRole, "content"},
            {RowHeightRole, "rowHeight"},
            {OutboxStateRole, "outboxState"},
            {OutboxIdRole, "outboxId"}};
}

void HsStudentRecordModel::setRecords(HsStudentRecords records)
{
    const int previousKind = kind();
    beginResetModel();
    m_records = std::move(records);
    showUnsentOfKind();
    endResetModel();
    if (kind() != previousKind)
        emit kindChanged();
}

void HsStudentRecordModel::setOutbox(std::vector<OutboxPost> posts)
{
    if (posts == m_outbox)
        return;
    beginResetModel();
    m_outbox = std::move(posts);
    showUnsentOfKind();
    endResetModel();
}

void HsStudentRecordModel::showUnsentOfKind()
{
    m_unsent.clear();
    std::copy_if(m_outbox.begin(), m_outbox.end(), std::back_inserter(m_unsent),
                 [this](const OutboxPost &post) { return post.category == kind(); });
    std::sort(m_unsent.begin(), m_unsent.end(), [](const OutboxPost &a, const OutboxPost &b) {
        return std::tie(a.writtenAt, a.id) > std::tie(b.writtenAt, b.id);
    });
}

std::size_t HsStudentRecordModel::appendRecords(const HsStudentRecords &records)
{
    if (records.index() != m_records.index())
        return 0;
    return std::visit(
        [this, &records](auto &shown) {
            using Items = std::decay_t<decltype(shown)>;
            const Items added = unseen(shown, std::get<Items>(records));
            if (added.empty())
                return std::size_t{0};
            const int first = static_cast<int>(m_unsent.size() + shown.size());
            beginInsertRows({}, first, first + static_cast<int>(added.size()) - 1);
            shown.insert(shown.end(), added.begin(), added.end());
            endInsertRows();
            return added.size();
        },
        m_records);
}

QString HsStudentRecordModel::scoreLine(const TestScoreItem &score)
{
    return hsDisplayText(score.subjectName) +
           QString::asprintf(":%4.1f分", static_cast<double>(score.avgScore));
}

std::vector<SearchEntry> HsStudentRecordModel::searchEntries(const HsStudentRecords &records)
{
    const auto kind =
        static_cast<SearchKind>(static_cast<int>(SearchKind::HomeWork) + static_cast<int>(records.index()));
    std::vector<SearchEntry> entries;
    std::visit(
        [&](const auto &items) {
            for (const auto &item : items) {
                SearchEntry entry;
                entry.kind = kind;
                entry.key = keyOf(item);
                entry.title = fieldText(item, TitleRole);
                entry.text = fieldText(item, ContentRole);
                entry.dateLine = detailDateLine(item);
                entry.date = dateOf(item);
                entries.push_back(std::move(entry));
            }
        },
        records);
    return entries;
}

std::optional<HsStudentRecordModel::Kind> HsStudentRecordModel::kindOf(SearchKind kind)
{
    const int record = static_cast<int>(kind) - static_cast<int>(SearchKind::HomeWork) + HomeWork;
    if (record < HomeWork || record > Chat)
        return std::nullopt;
    return static_cast<Kind>(record);
}
