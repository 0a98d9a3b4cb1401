#pragma once

#include "screens/HsAreaActivity.h"
#include "screens/HsCategoryBarModel.h"
#include "screens/HsContactListModel.h"

#include <QtQml/qqmlregistration.h>
#include <optional>

// The contacts of the signed-in user's class: the category buttons 老师 (tag 1) and 同学 (tag 2)
// load the class's teachers or students from the service, one row per person with picture and
// name. Nothing is cached and nothing is loaded until a category is chosen; every choice loads
// its list again. A failed load keeps the list on show.
class HsContactsActivity : public HsAreaActivity
{
    Q_OBJECT
    // Named apart from the interface file "HsContactsActivity.qml" that shows it.
    QML_NAMED_ELEMENT(HsContactsActivityController)
    QML_UNCREATABLE("Areas are made by the main screen")
    Q_PROPERTY(int category READ category NOTIFY categoryChanged)
    Q_PROPERTY(HsCategoryBarModel *menu READ categoryBar CONSTANT)
    Q_PROPERTY(QAbstractItemModel *datas READ datas CONSTANT)
public:
    // The interface file that shows this area, in the main screen or on a screen of its own.
    static constexpr auto interfaceFile = "HsContactsActivity";

    static constexpr int teachersCategory = 1;
    static constexpr int studentsCategory = 2;

    HsContactsActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                       QObject *parent = nullptr);

    void viewDidLoad() override;

    int category() const { return m_category; }
    HsCategoryBarModel *categoryBar() { return &m_categoryBar; }
    HsContactListModel *datas() { return &m_datas; }
    HsContactListModel::ServiceType serviceType() const { return m_datas.serviceType(); }
    bool succeeded() const { return m_bSuccess; }

    Q_INVOKABLE void pressCategory(int tag);
    // Moves the highlight and loads the list of category `category`.
    void updateCategory(int category);

signals:
    void categoryChanged();

private:
    using Fetched = std::optional<HsContactList>;

    static Fetched doGetTeacher(int32_t classId);
    static Fetched doGetStudent(int32_t classId);
    void overlayWasHidden(Fetched fetched);

    int m_category = 0;
    bool m_bSuccess = false;
    HsCategoryBarModel m_categoryBar;
    HsContactListModel m_datas;
};
