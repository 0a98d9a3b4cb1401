#pragma once

#include <QAbstractListModel>
#include <QRectF>
#include <QStringList>
#include <QtQml/qqmlregistration.h>
#include <vector>

// The buttons of a horizontally scrolling category bar and the highlight behind the chosen one.
// Each button is as wide as its title in the 14-pixel system font (wrapped within 80 x 100),
// 20 high at y = 5; the first starts at x = 10 and each next one 22 after the end of the one
// before. Tags are 1-based positions. The highlight covers the chosen button enlarged by 8 on
// the left and right and 3 at the top and bottom.
class HsCategoryBarModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The bar belongs to its area")
    Q_PROPERTY(qreal contentWidth READ contentWidth NOTIFY contentWidthChanged)
    Q_PROPERTY(QRectF pointerFrame READ pointerFrame NOTIFY pointerFrameChanged)
public:
    enum Role
    {
        TagRole = Qt::UserRole + 1,
        TitleRole,
        FrameRole,
    };

    static constexpr qreal buttonY = 5;
    static constexpr qreal buttonHeight = 20;
    static constexpr qreal barHeight = 33;

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    void setTitles(const QStringList &titles);
    // The width of the bar's scrollable area.
    qreal contentWidth() const { return m_contentWidth; }
    // The frame of button `tag`, or an empty one when there is no such button.
    QRectF buttonFrame(int tag) const;

    // Moves the highlight behind button `tag`; an unknown tag leaves it where it is.
    void updateMenuBar(int tag);
    QRectF pointerFrame() const { return m_pointerFrame; }

signals:
    void contentWidthChanged();
    void pointerFrameChanged();

private:
    struct Button
    {
        QString title;
        QRectF frame;
    };
    std::vector<Button> m_buttons;
    qreal m_contentWidth = 20;
    QRectF m_pointerFrame;
};
