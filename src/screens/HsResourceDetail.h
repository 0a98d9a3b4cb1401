#pragma once

#include "documents/ResourceItem.h"
#include "screens/EdBaseViewController.h"
#include "screens/HsText.h"
#include "widgets/NetImage.h"

#include <QString>
#include <QtQml/qqmlregistration.h>

// One resource, fetched when the screen opens: its title and text at once, then its picture
// when it has arrived (the picture loads in the background, so the screen never waits on it).
// The title bar's back button closes it. It stays blank when the fetch fails.
class HsResourceDetail : public EdBaseViewController
{
    Q_OBJECT
    // Named apart from the interface file "HsResourceDetail.qml" that shows it.
    QML_NAMED_ELEMENT(HsResourceDetailController)
    QML_UNCREATABLE("Screens are made by their controllers")
    Q_PROPERTY(QString resTitle READ resTitle NOTIFY itemChanged)
    Q_PROPERTY(QString resContent READ resContent NOTIFY itemChanged)
    Q_PROPERTY(NetImage *picture READ picture CONSTANT)
public:
    // The interface file that shows this screen.
    static constexpr auto interfaceFile = "HsResourceDetail";

    explicit HsResourceDetail(ScreenPort &port, QObject *parent = nullptr);

    int32_t resourceId() const { return m_resourceId; }
    void setResourceId(int32_t resourceId) { m_resourceId = resourceId; }

    // Starts the fetch under the progress overlay.
    void viewDidLoad();

    bool succeeded() const { return m_bSuccess; }
    const ResourceItem &item() const { return m_item; }
    QString resTitle() const { return hsDisplayText(m_item.resTitle); }
    QString resContent() const { return hsDisplayText(m_item.resContent); }
    NetImage *picture() { return &m_picture; }

signals:
    void itemChanged();

private:
    void overlayWasHidden(const ResourceItem &item);

    int32_t m_resourceId = 0;
    ResourceItem m_item;
    bool m_bSuccess = false;
    NetImage m_picture;
};
