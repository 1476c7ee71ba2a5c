#pragma once
#include <QSettings>
#include <QString>
#include <QStringList>
#include <memory>

#include "core/settings/settings.h"

// The per-user settings in QSettings' native format: the registry key
// Software\Corvanta\the Hoopfall on Windows, an INI file in the user's configuration folder
// elsewhere. Every value is stored as text, one group per section.
//
// A fault never stops the program: a settings file that cannot be read is reported once (the
// readers get their defaults) and never written over; a write that did not reach the file
// throws a HoopError and leaves the old file as it was. Each call opens the store afresh, so a
// damaged line does not fail every later write; before the first write drops such a line, the
// file is copied aside and that is reported. Only a regular file is ever opened: a named pipe in
// its place would stop the program for good, a device would be read without end.
class QtSettingsStore : public SettingsBackend {
public:
    QtSettingsStore();
    explicit QtSettingsStore(const QString& iniPath);  // an INI file of one's own (tests)
    std::optional<std::string> read(const std::string& section, const std::string& name) override;
    void write(const std::string& section, const std::string& name, const std::string& value) override;
    const QString& fileName() const { return m_path; }

private:
    bool isFile() const;
    std::unique_ptr<QSettings> open() const;
    void reportUnreadable(const QString& reason);
    void keepDamagedFile(const std::string& name);
    void writeFile(const QString& key, const std::string& name, const QString& value);

    QString m_path;
    QSettings::Format m_format;
    QStringList m_readOrder;  // the files a value is looked for in, in order
    bool m_native = false;    // the per-user store, with QSettings' fallbacks
    bool m_reportedUnreadable = false;
    bool m_keptDamaged = false;  // the file's unreadable lines have a copy aside
};
