#include "HsDefaults.h"

#include "common/HsLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// The file is made empty and owner-only before anything is stored in it, so a stored password is
// never readable by others, not even between a save and the permission change after it.
void createOwnerOnlyFile(const QString &filePath)
{
    if (QFile::exists(filePath))
        return;
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    QFile file(filePath);
    if (file.open(QIODevice::WriteOnly))
        file.setPermissions(kOwnerOnly);
}

} // namespace

HsDefaults::HsDefaults(const QString &filePath) : m_settings(filePath, QSettings::IniFormat)
{
    createOwnerOnlyFile(filePath);
}

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

bool HsDefaults::setValue(const QString &key, const QString &value)
{
    m_settings.setValue(key, value);
    m_settings.sync();
    restrictToOwner();
    if (m_settings.status() == QSettings::NoError)
        return true;
    hsLog("defaults file %s could not be written (key %s)", qPrintable(m_settings.fileName()),
          qPrintable(key));
    return false;
}

bool HsDefaults::remove(const QString &key)
{
    m_settings.remove(key);
    m_settings.sync();
    if (m_settings.status() == QSettings::NoError)
        return true;
    hsLog("defaults file %s could not be written (key %s)", qPrintable(m_settings.fileName()),
          qPrintable(key));
    return false;
}

QString HsDefaults::filePath() const
{
    return m_settings.fileName();
}

void HsDefaults::restrictToOwner()
{
    QFile::setPermissions(m_settings.fileName(), kOwnerOnly);
}
