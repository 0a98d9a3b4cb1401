#include "CheckButton.h"

#include "common/HsLog.h"

CheckButton::CheckButton(const QString &label, QObject *parent) : QObject(parent), m_label(label) {}

CheckButton::~CheckButton()
{
    hsLog("dealloc checkbutton");
}

void CheckButton::setLabel(const QString &label)
{
    if (m_label == label)
        return;
    m_label = label;
    emit labelChanged();
}

void CheckButton::setChecked(bool checked)
{
    if (m_checked == checked)
        return;
    m_checked = checked;
    emit checkedChanged();
    emit iconChanged();
}

void CheckButton::setStyle(int style)
{
    m_style = style;
    if (style == 0 || style == 1) {
        m_checkName = QStringLiteral("cb_select.png");
        m_uncheckName = QStringLiteral("cb_unselect.png");
    } else if (style == radioStyle) {
        m_checkName = QStringLiteral("bt_select.png");
        m_uncheckName = QStringLiteral("bt_unselect.png");
    }
    emit styleChanged();
    emit iconChanged();
}

void CheckButton::setTag(int tag)
{
    if (m_tag.exchange(tag) != tag)
        emit tagChanged();
}

void CheckButton::setValue(const QVariant &value)
{
    m_value = value;
    emit valueChanged();
}

void CheckButton::clicked()
{
    setChecked(m_style == radioStyle ? true : !m_checked);
    hsLog("%d", m_checked ? 1 : 0);
    emit checkButtonClicked(this);
}
