#include "settings/qt_settings.h"

#include <QSettings>

#include "pool/errors.h"
#include "shell/ansi_text.h"

namespace {
QString Key(const std::string& section, const std::string& name)
{
    return FromAnsi(section) + QLatin1Char('/') + FromAnsi(name);
}
}  // namespace

QtSettingsStore::QtSettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Corvanta"),
                                             QStringLiteral("the Hoopfall")))
{
}

QtSettingsStore::QtSettingsStore(const QString& iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat))
{
}

QtSettingsStore::~QtSettingsStore() = default;

std::optional<std::string> QtSettingsStore::Read(const std::string& section, const std::string& name)
{
    const QVariant value = m_settings->value(Key(section, name));
    if (!value.isValid()) return std::nullopt;
    return ToAnsi(value.toString());
}

void QtSettingsStore::Write(const std::string& section, const std::string& name, const std::string& value)
{
    m_settings->setValue(Key(section, name), FromAnsi(value));
    m_settings->sync();
    if (m_settings->status() != QSettings::NoError)
        throw HoopError("Failed to set data for '" + name + "' in " + m_settings->fileName().toStdString());
}
