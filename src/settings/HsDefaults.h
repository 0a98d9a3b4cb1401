#pragma once

#include <QSettings>
#include <QString>
#include <optional>

// The persistent per-installation key-value store ("firstOpen", "userName", "remember", ...).
// Values are texts. The file may hold a remembered password, so it is kept readable by its
// owner only.
class HsDefaults
{
public:
    // Stores into `filePath` (an INI file), created on first write.
    explicit HsDefaults(const QString &filePath);

    std::optional<QString> value(const QString &key) const;
    bool contains(const QString &key) const;
    // Stores the value and writes the file at once. False when the file could not be written
    // (the failure is logged); the value is then kept only by this instance until it goes.
    bool setValue(const QString &key, const QString &value);
    // Removes the key and writes the file at once; false when the file could not be written.
    bool remove(const QString &key);
    QString filePath() const;

private:
    void restrictToOwner();

    mutable QSettings m_settings;
};
