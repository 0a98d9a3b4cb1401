#include "HsDefaults.h"

#include <QFile>

HsDefaults::HsDefaults(const QString &filePath) : m_settings(filePath, QSettings::IniFormat) {}

std::optional<QString> HsDefaults::value(const QString &key) const
{
    const QVariant stored = m_settings.value(key);
    if (!stored.isValid())
        return std::nullopt;
    return stored.toString();
}

bool HsDefaults::contains(const QString &key) const
{
    return m_settings.contains(key);
}

void HsDefaults::setValue(const QString &key, const QString &value)
{
    m_settings.setValue(key, value);
    m_settings.sync();
    restrictToOwner();
}

QString HsDefaults::filePath() const
{
    return m_settings.fileName();
}

void HsDefaults::restrictToOwner()
{
    QFile::setPermissions(m_settings.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
