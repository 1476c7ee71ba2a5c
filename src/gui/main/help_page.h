#pragma once
#include <QByteArray>
#include <QString>
#include <QUrl>

// The help page as it ships: beside the program (the build tree, a portable copy), else in
// ../share/hoopfall from the program's folder (an installed copy). When neither is there, the
// path beside the program.
QString helpPageFile();

// The page with the text of every <!--pool-folder-->...<!--/pool-folder--> span replaced by
// folder.
QByteArray fillPoolFolder(const QByteArray& page, const QString& folder);

// The folder of the filled-in copies of the page (the program sets the user's cache folder).
// While it is empty no copy is written.
void setHelpCopyFolder(const QString& dir);

// The help page to open for the pool in dataDir: a copy of page that names the folder, one copy
// per pool so two copies of the program do not overwrite each other's; page itself when no copy
// can be written or page cannot be read.
QUrl helpPageFor(const QString& dataDir, const QString& page = helpPageFile());
