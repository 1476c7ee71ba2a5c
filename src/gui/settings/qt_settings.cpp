#include "gui/settings/qt_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <cerrno>
#include <filesystem>
#include <map>
#include <memory>
#include <sys/stat.h>

#include "core/pool/errors.h"
#include "core/pool/file_io.h"
#include "core/settings/ini_text.h"
#include "gui/widgets/ansi_text.h"
#include "gui/widgets/prompts.h"

namespace {
const QString Organization = QStringLiteral("Corvanta");
const QString Application = QStringLiteral("the Hoopfall");

QString key(const std::string& section, const std::string& name)
{
    return fromAnsi(section) + QLatin1Char('/') + fromAnsi(name);
}

std::string native(const QString& path) { return QFile::encodeName(path).toStdString(); }

std::string failedText(const std::string& name, const QString& path)
{
    return "Failed to set data for '" + name + "' in " + QDir::toNativeSeparators(path).toStdString();
}

// A settings file as found: absent, read, or there but unreadable (with the reason).
struct FileState {
    enum Kind { Absent, Read, Unreadable } kind = Absent;
    QByteArray bytes;
    QString reason;
};

// Looked at before it is opened: QFile would wait on a named pipe until something writes to it.
FileState examine(const QString& path)
{
    struct stat st {};
    if (::stat(native(path).c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return {};
        return {FileState::Unreadable, {}, QString::fromStdString(systemReason(errno))};
    }
    if (S_ISDIR(st.st_mode)) return {FileState::Unreadable, {}, QStringLiteral("it is a folder")};
    if (!S_ISREG(st.st_mode))
        return {FileState::Unreadable,
                {},
                QString::fromStdString("it is " + fileKindName(st.st_mode) + ", not a regular file")};
    // The read itself opens without waiting and checks again what it opened.
    std::string bytes;
    const ReadOutcome read = readWholeFile(native(path), bytes);
    if (read.status == ReadStatus::Missing) return {};
    if (read.status == ReadStatus::Unreadable) return {FileState::Unreadable, {}, QString::fromStdString(read.reason)};
    return {FileState::Read, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())), {}};
}

using Contents = std::map<QString, QVariant>;

Contents contentsOf(QSettings& settings)
{
    Contents contents;
    for (const QString& key : settings.allKeys()) contents.emplace(key, settings.value(key));
    return contents;
}

// What the bytes of a settings file hold, parsed under a new file name: QSettings keeps what it
// believes it wrote in a per-process cache by file name, so asking it about the same name again
// answers from memory, not from the disk.
struct Parsed {
    Contents contents;
    QSettings::Status status = QSettings::NoError;  // FormatError: a line it could not read
};
std::optional<Parsed> parsedCopy(const QString& path, const QByteArray& bytes, QSettings::Format format)
{
    QTemporaryFile copy(path + QStringLiteral(".check-XXXXXX"));
    if (!copy.open() || copy.write(bytes) != bytes.size() || !copy.flush()) return std::nullopt;
    QSettings parsed(copy.fileName(), format);
    Parsed result{contentsOf(parsed), QSettings::NoError};
    result.status = parsed.status();
    return result;
}

// Where QSettings keeps the per-user settings on a system with XDG folders: the user's file and
// the organisation's, then the same in each system folder. Named here, not by asking QSettings,
// since a QSettings made with a scope opens every one of these files at once.
QStringList xdgSettingsFiles()
{
    const QString appFile = Organization + QLatin1Char('/') + Application + QStringLiteral(".conf");
    const QString orgFile = Organization + QStringLiteral(".conf");
    const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/');
    QStringList files = {user + appFile, user + orgFile};
    QStringList system = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    if (!system.isEmpty()) system.removeFirst();  // the user's folder
    for (const QString& folder : system) files.append(folder + QLatin1Char('/') + appFile);
    for (const QString& folder : system) files.append(folder + QLatin1Char('/') + orgFile);
    return files;
}
}  // namespace

QtSettingsStore::QtSettingsStore() : m_format(QSettings::NativeFormat), m_native(true)
{
#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
    // The registry or the preferences: nothing there can hold the program up.
    m_path = QSettings(QSettings::NativeFormat, QSettings::UserScope, Organization, Application).fileName();
    // The user's own file first, then the organisation-wide and system-wide ones QSettings reads.
    m_readOrder = {m_path, QSettings(QSettings::NativeFormat, QSettings::UserScope, Organization).fileName(),
                   QSettings(QSettings::NativeFormat, QSettings::SystemScope, Organization, Application).fileName(),
                   QSettings(QSettings::NativeFormat, QSettings::SystemScope, Organization).fileName()};
#else
    m_readOrder = xdgSettingsFiles();
    m_path = m_readOrder.front();
#endif
}

QtSettingsStore::QtSettingsStore(const QString& iniPath)
    : m_path(iniPath), m_format(QSettings::IniFormat), m_readOrder{iniPath}
{
}

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
    // A store kept in a file is opened on that file alone: with a scope, QSettings would also open
    // the organisation-wide and system-wide files, whatever they are.
    if (!isFile())
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, Organization, Application);
    return std::make_unique<QSettings>(m_path, m_format);
}

void QtSettingsStore::reportUnreadable(const QString& reason)
{
    if (m_reportedUnreadable) return;
    m_reportedUnreadable = true;
    showError(QStringLiteral("The settings file ") + QDir::toNativeSeparators(m_path) +
              QStringLiteral(" cannot be read") + (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason) +
              QStringLiteral(". The default settings are used, and the file is left as it is."));
}

// QSettings drops the lines it cannot read when it writes the file: they are kept in a copy aside
// first, once.
void QtSettingsStore::keepDamagedFile(const std::string& name)
{
    const std::string aside = [&] {
        try {
            return copyAside(native(m_path), "damaged");
        } catch (const HoopError& error) {
            throw HoopError(failedText(name, m_path) + ": " + error.what());
        }
    }();
    m_keptDamaged = true;
    showInformation(QStringLiteral("The settings file ") + QDir::toNativeSeparators(m_path) +
                    QStringLiteral(" has lines the program cannot read, which are left out when settings are saved. "
                                   "The file was copied aside unchanged as ") +
                    QFile::decodeName(QByteArray::fromStdString(fileNameOf(aside))) +
                    QStringLiteral(" in the same folder."));
}

// Each call reads the file's bytes afresh. QSettings would answer from what it parsed last for as
// long as the file keeps its size and time, and would take a hand-written "Friday, March 20" for
// a list of two texts.
std::optional<std::string> QtSettingsStore::read(const std::string& section, const std::string& name)
{
    if (!isFile()) {
        // A fresh QSettings for every call: its status sticks for the object's life.
        const auto settings = open();
        const QVariant value = settings->value(key(section, name));
        if (settings->status() == QSettings::AccessError) {
            reportUnreadable({});
            return std::nullopt;
        }
        if (!value.isValid()) return std::nullopt;
        return toAnsi(value.toString());
    }
    const FileState file = examine(m_path);
    if (file.kind == FileState::Unreadable) {
        reportUnreadable(file.reason);
        return std::nullopt;
    }
    for (const QString& path : m_readOrder) {
        const FileState found = path == m_path ? file : examine(path);
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
        writeFile(key(section, name), name, fromAnsi(value));
        return;
    }
    const auto settings = open();
    settings->setValue(key(section, name), fromAnsi(value));
    settings->sync();
    if (settings->status() != QSettings::NoError) throw HoopError(failedText(name, m_path));
}

void QtSettingsStore::writeFile(const QString& key, const std::string& name, const QString& value)
{
    const FileState before = examine(m_path);
    if (before.kind == FileState::Unreadable)
        throw HoopError(failedText(name, m_path) + ": the file cannot be read (" + before.reason.toStdString() +
                        "), so it is left as it is");

    if (before.kind == FileState::Read && !m_keptDamaged) {
        const auto parsed = parsedCopy(m_path, before.bytes, m_format);
        if (parsed && parsed->status == QSettings::FormatError) keepDamagedFile(name);
    }

    // The old file keeps a second name while QSettings replaces it, so a bad write is undone by
    // a rename, which needs no disk space.
    const std::string path = native(m_path);
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
        meant = contentsOf(*settings);
    }
    // The status alone cannot be trusted: after a damaged line it is FormatError whether the write
    // went through or not, and a short write (a full disk) goes unnoticed. The file is read back.
    const FileState after = examine(m_path);
    const bool written = status != QSettings::AccessError && after.kind == FileState::Read && [&] {
        const auto parsed = parsedCopy(m_path, after.bytes, m_format);
        return parsed && parsed->contents == meant;
    }();
    const bool changed = after.kind != before.kind || after.bytes != before.bytes;
    std::error_code ec;
    if (written || !changed) {
        if (!kept.empty()) std::filesystem::remove(kept, ec);
        if (written) return;
        throw HoopError(failedText(name, m_path));
    }

    std::string message = failedText(name, m_path);
    if (!kept.empty()) {
        std::filesystem::rename(kept, path, ec);
        if (ec) message += "; the old file is kept as " + kept;
    } else if (before.kind == FileState::Absent) {
        std::filesystem::remove(path, ec);
    } else {
        try {
            writeFileAtomic(path,
                            std::string_view(before.bytes.constData(), static_cast<std::size_t>(before.bytes.size())));
        } catch (const HoopError& error) {
            message += std::string("; ") + error.what();
        }
    }
    throw HoopError(message);
}
