#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <QtQml/qqmlregistration.h>
#include <atomic>

// An image-and-label toggle: a check box (style 0 or 1) or a radio button (style 2). A tap
// changes the state by the style's rule and tells the owner through checkButtonClicked;
// setting the state from code tells nobody.
class CheckButton : public QObject
{
    Q_OBJECT
    // Named apart from the interface file "CheckButton.qml" that shows it.
    QML_NAMED_ELEMENT(CheckButtonController)
    QML_UNCREATABLE("Check buttons belong to their screen")
    Q_PROPERTY(QString label READ label WRITE setLabel NOTIFY labelChanged)
    Q_PROPERTY(bool checked READ isChecked WRITE setChecked NOTIFY checkedChanged)
    Q_PROPERTY(int style READ style WRITE setStyle NOTIFY styleChanged)
    Q_PROPERTY(int tag READ tag WRITE setTag NOTIFY tagChanged)
    Q_PROPERTY(QString icon READ icon NOTIFY iconChanged)
    Q_PROPERTY(QVariant value READ value WRITE setValue NOTIFY valueChanged)
public:
    static constexpr int checkBoxStyle = 0;
    static constexpr int radioStyle = 2;

    explicit CheckButton(const QString &label = {}, QObject *parent = nullptr);
    ~CheckButton() override;

    QString label() const { return m_label; }
    void setLabel(const QString &label);
    bool isChecked() const { return m_checked; }
    void setChecked(bool checked);
    int style() const { return m_style; }
    void setStyle(int style);
    int tag() const { return m_tag; }
    void setTag(int tag);
    QVariant value() const { return m_value; }
    void setValue(const QVariant &value);

    // The image name for the current state.
    QString icon() const { return m_checked ? m_checkName : m_uncheckName; }
    QString checkName() const { return m_checkName; }
    QString uncheckName() const { return m_uncheckName; }

    // A touch released inside the button.
    Q_INVOKABLE void clicked();

signals:
    void checkButtonClicked(CheckButton *button);
    void labelChanged();
    void checkedChanged();
    void styleChanged();
    void tagChanged();
    void iconChanged();
    void valueChanged();

private:
    QString m_label;
    bool m_checked = false;
    int m_style = checkBoxStyle;
    std::atomic<int> m_tag = 0;
    QVariant m_value;
    QString m_checkName = QStringLiteral("cb_select.png");
    QString m_uncheckName = QStringLiteral("cb_unselect.png");
};
