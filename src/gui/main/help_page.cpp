#include "gui/main/help_page.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "core/pool/brand.h"

namespace {
QString& copyFolder()
{
    static QString dir;
    return dir;
}

const QByteArray Open = "<!--pool-folder-->";
const QByteArray Close = "<!--/pool-folder-->";
}  // namespace

QString helpPageFile()
{
    const QDir program(QCoreApplication::applicationDirPath());
    const QString page = QString::fromLatin1(brand::HelpPage);
    const QString beside = program.filePath(page);
    if (QFileInfo::exists(beside)) return beside;
    // The install rules put the page here.
    const QString installed = QDir::cleanPath(program.filePath(QStringLiteral("../share/hoopfall/") + page));
    return QFileInfo::exists(installed) ? installed : beside;
}

QByteArray fillPoolFolder(const QByteArray& page, const QString& folder)
{
    const QByteArray text = QDir::toNativeSeparators(folder).toHtmlEscaped().toUtf8();
    QByteArray result;
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = page.indexOf(Open, from);
        const qsizetype close = open < 0 ? -1 : page.indexOf(Close, open + Open.size());
        if (close < 0) break;
        result += page.mid(from, open + Open.size() - from) + text;
        from = close;
    }
    return result + page.mid(from);
}

void setHelpCopyFolder(const QString& dir) { copyFolder() = dir; }

QUrl helpPageFor(const QString& dataDir, const QString& page)
{
    const QUrl shipped = QUrl::fromLocalFile(page);
    if (copyFolder().isEmpty() || !QDir().mkpath(copyFolder())) return shipped;
    QFile source(page);
    if (!source.open(QIODevice::ReadOnly)) return shipped;
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError) return shipped;
    const QByteArray key = QCryptographicHash::hash(dataDir.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    QSaveFile copy(QDir(copyFolder()).filePath(QStringLiteral("help-%1.html").arg(QString::fromLatin1(key))));
    if (!copy.open(QIODevice::WriteOnly) || copy.write(fillPoolFolder(bytes, dataDir)) < 0 || !copy.commit())
        return shipped;
    return QUrl::fromLocalFile(copy.fileName());
}
