#include "settings/qt_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryFile>
#include <filesystem>
#include <map>
#include <memory>

#include "pool/errors.h"
#include "pool/file_io.h"
#include "settings/ini_text.h"
#include "ui/ansi_text.h"
#include "ui/prompts.h"

namespace {
const QString Organization = QStringLiteral("Corvanta");
const QString Application = QStringLiteral("the Hoopfall");

QString Key(const std::string& section, const std::string& name)
{
    return fromAnsi(section) + QLatin1Char('/') + fromAnsi(name);
}

std::string Native(const QString& path) { return QFile::encodeName(path).toStdString(); }

std::string FailedText(const std::string& name, const QString& path)
{
    return "Failed to set data for '" + name + "' in " + QDir::toNativeSeparators(path).toStdString();
}

// A settings file as found: absent, read, or there but unreadable (with the reason).
struct FileState {
    enum Kind { Absent, Read, Unreadable } kind = Absent;
    QByteArray bytes;
    QString reason;
};

FileState Examine(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists()) return {};
    if (!info.isFile())
        return {FileState::Unreadable, {}, info.isDir() ? QStringLiteral("it is a folder") : QStringLiteral("it is not a file")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {FileState::Unreadable, {}, file.errorString()};
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return {FileState::Unreadable, {}, file.errorString()};
    return {FileState::Read, std::move(bytes), {}};
}

using Contents = std::map<QString, QVariant>;

Contents ContentsOf(QSettings& settings)
{
    Contents contents;
    for (const QString& key : settings.allKeys()) contents.emplace(key, settings.value(key));
    return contents;
}

// What the bytes of a settings file hold, parsed under a new file name: QSettings keeps what it
// believes it wrote in a per-process cache by file name, so asking it about the same name again
// answers from memory, not from the disk.
std::optional<Contents> ParsedCopy(const QString& path, const QByteArray& bytes, QSettings::Format format)
{
    QTemporaryFile copy(path + QStringLiteral(".check-XXXXXX"));
    if (!copy.open() || copy.write(bytes) != bytes.size() || !copy.flush()) return std::nullopt;
    QSettings parsed(copy.fileName(), format);
    return ContentsOf(parsed);
}
}  // namespace

QtSettingsStore::QtSettingsStore()
    : m_path(QSettings(QSettings::NativeFormat, QSettings::UserScope, Organization, Application).fileName()),
      m_format(QSettings::NativeFormat), m_native(true)
{
    // The user's own file first, then the organisation-wide and system-wide ones QSettings reads.
    m_readOrder = {m_path, QSettings(QSettings::NativeFormat, QSettings::UserScope, Organization).fileName(),
                   QSettings(QSettings::NativeFormat, QSettings::SystemScope, Organization, Application).fileName(),
                   QSettings(QSettings::NativeFormat, QSettings::SystemScope, Organization).fileName()};
}

QtSettingsStore::QtSettingsStore(const QString& iniPath) : m_path(iniPath), m_format(QSettings::IniFormat), m_readOrder{iniPath} {}

bool QtSettingsStore::isFile() const
{
#ifdef Q_OS_WIN
    return !m_native;  // the native store is the registry
#else
    return true;
#endif
}

std::unique_ptr<QSettings> QtSettingsStore::open() const
{
    // The native store also reads the organisation-wide and system-wide fallbacks.
    if (m_native)
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, Organization, Application);
    return std::make_unique<QSettings>(m_path, m_format);
}

void QtSettingsStore::reportUnreadable(const QString& reason)
{
    if (m_reportedUnreadable) return;
    m_reportedUnreadable = true;
    showError(QStringLiteral("The settings file ") + QDir::toNativeSeparators(m_path) + QStringLiteral(" cannot be read") +
              (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason) +
              QStringLiteral(". The default settings are used, and the file is left as it is."));
}

// Each call reads the file's bytes afresh. QSettings would answer from what it parsed last for as
// long as the file keeps its size and time, and would take a hand-written "Friday, March 20" for
// a list of two texts.
std::optional<std::string> QtSettingsStore::read(const std::string& section, const std::string& name)
{
    if (!isFile()) {
        // A fresh QSettings for every call: its status sticks for the object's life.
        const auto settings = open();
        const QVariant value = settings->value(Key(section, name));
        if (settings->status() == QSettings::AccessError) {
            reportUnreadable({});
            return std::nullopt;
        }
        if (!value.isValid()) return std::nullopt;
        return toAnsi(value.toString());
    }
    const FileState file = Examine(m_path);
    if (file.kind == FileState::Unreadable) {
        reportUnreadable(file.reason);
        return std::nullopt;
    }
    for (const QString& path : m_readOrder) {
        const FileState found = path == m_path ? file : Examine(path);
        if (found.kind != FileState::Read) continue;
        const std::string_view bytes(found.bytes.constData(), static_cast<std::size_t>(found.bytes.size()));
        if (const auto value = ini::valueText(bytes, section, name))
            return toAnsi(QString::fromStdString(ini::plainText(*value)));
    }
    return std::nullopt;
}

void QtSettingsStore::write(const std::string& section, const std::string& name, const std::string& value)
{
    if (isFile()) {
        writeFile(Key(section, name), name, fromAnsi(value));
        return;
    }
    const auto settings = open();
    settings->setValue(Key(section, name), fromAnsi(value));
    settings->sync();
    if (settings->status() != QSettings::NoError) throw HoopError(FailedText(name, m_path));
}

void QtSettingsStore::writeFile(const QString& key, const std::string& name, const QString& value)
{
    const FileState before = Examine(m_path);
    if (before.kind == FileState::Unreadable)
        throw HoopError(FailedText(name, m_path) + ": the file cannot be read (" + before.reason.toStdString() +
                        "), so it is left as it is");

    // The old file keeps a second name while QSettings replaces it, so a bad write is undone by
    // a rename, which needs no disk space.
    const std::string path = Native(m_path);
    std::string kept;
    if (before.kind == FileState::Read) {
        kept = path + ".keep-" + std::to_string(QRandomGenerator::global()->generate());
        std::error_code ec;
        std::filesystem::create_hard_link(path, kept, ec);
        if (ec) kept.clear();
    }

    QSettings::Status status;
    Contents meant;
    {
        const auto settings = open();
        settings->setFallbacksEnabled(false);  // only what this file holds
        settings->setValue(key, value);
        settings->sync();
        status = settings->status();
        meant = ContentsOf(*settings);
    }
    // The status alone cannot be trusted: after a damaged line it is FormatError whether the write
    // went through or not, and a short write (a full disk) goes unnoticed. The file is read back.
    const FileState after = Examine(m_path);
    const bool written =
        status != QSettings::AccessError && after.kind == FileState::Read && ParsedCopy(m_path, after.bytes, m_format) == meant;
    const bool changed = after.kind != before.kind || after.bytes != before.bytes;
    std::error_code ec;
    if (written || !changed) {
        if (!kept.empty()) std::filesystem::remove(kept, ec);
        if (written) return;
        throw HoopError(FailedText(name, m_path));
    }

    std::string message = FailedText(name, m_path);
    if (!kept.empty()) {
        std::filesystem::rename(kept, path, ec);
        if (ec) message += "; the old file is kept as " + kept;
    } else if (before.kind == FileState::Absent) {
        std::filesystem::remove(path, ec);
    } else {
        try {
            writeFileAtomic(path, std::string_view(before.bytes.constData(), static_cast<std::size_t>(before.bytes.size())));
        } catch (const HoopError& error) {
            message += std::string("; ") + error.what();
        }
    }
    throw HoopError(message);
}
