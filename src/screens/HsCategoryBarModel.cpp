#include "HsCategoryBarModel.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <cmath>

namespace {

constexpr qreal firstButtonX = 10;
constexpr qreal buttonGap = 22;
constexpr qreal trailingSpace = 10;
constexpr qreal pointerSideMargin = 8;
constexpr qreal pointerTopMargin = 3;

// The width of a title in the 14-pixel system font, wrapped within 80 x 100, in whole points.
qreal titleWidth(const QString &title)
{
    if (title.isEmpty())
        return 0;
    QFont font = QGuiApplication::font();
    font.setPixelSize(14);
    const QRectF bounds = QFontMetricsF(font).boundingRect(QRectF(0, 0, 80, 100), Qt::TextWordWrap, title);
    return std::ceil(bounds.width());
}

} // namespace

int HsCategoryBarModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_buttons.size());
}

QVariant HsCategoryBarModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Button &button = m_buttons[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case TitleRole:
        return button.title;
    case TagRole:
        return index.row() + 1;
    case FrameRole:
        return button.frame;
    default:
        return {};
    }
}

QHash<int, QByteArray> HsCategoryBarModel::roleNames() const
{
    return {{TagRole, "tag"}, {TitleRole, "title"}, {FrameRole, "frame"}};
}

void HsCategoryBarModel::setTitles(const QStringList &titles)
{
    beginResetModel();
    m_buttons.clear();
    qreal x = firstButtonX;
    for (const QString &title : titles) {
        const qreal width = titleWidth(title);
        m_buttons.push_back({title, QRectF(x, buttonY, width, buttonHeight)});
        x += width + buttonGap;
    }
    m_contentWidth = x + trailingSpace;
    endResetModel();
    emit contentWidthChanged();
}

QRectF HsCategoryBarModel::buttonFrame(int tag) const
{
    if (tag < 1 || tag > static_cast<int>(m_buttons.size()))
        return {};
    return m_buttons[static_cast<size_t>(tag - 1)].frame;
}

void HsCategoryBarModel::updateMenuBar(int tag)
{
    const QRectF frame = buttonFrame(tag);
    if (frame.isNull())
        return;
    const QRectF pointer =
        frame.adjusted(-pointerSideMargin, -pointerTopMargin, pointerSideMargin, pointerTopMargin);
    if (pointer == m_pointerFrame)
        return;
    m_pointerFrame = pointer;
    emit pointerFrameChanged();
}
