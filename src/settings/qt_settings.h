#pragma once
#include <QString>
#include <memory>

#include "settings/settings.h"

class QSettings;

// The per-user settings in QSettings' native format: the registry key
// Software\Corvanta\the Hoopfall on Windows, an INI file in the user's configuration folder
// elsewhere. Every value is stored as text, one group per section.
class QtSettingsStore : public ISettingsBackend {
public:
    QtSettingsStore();
    explicit QtSettingsStore(const QString& iniPath);  // an INI file of one's own (tests)
    ~QtSettingsStore() override;
    std::optional<std::string> Read(const std::string& section, const std::string& name) override;
    void Write(const std::string& section, const std::string& name, const std::string& value) override;

private:
    std::unique_ptr<QSettings> m_settings;
};
