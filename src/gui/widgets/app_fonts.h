#pragma once
#include <QFont>
#include <QString>
#include <QStringList>

// The windows are laid out in pixels for three faces: "MS Sans Serif" (the default font of every
// window), "Tahoma" and "Arial". Texts fit their boxes only in faces with those metrics.

// Where free faces with the metrics of "Tahoma" and "MS Sans Serif" are installed (Debian's
// fonts-wine).
QStringList defaultFontFolders();

// Registers the faces of the first folder that holds each of them, unless the system has the
// family already, and maps a face that is still missing to the closest face there is. Returns the
// files it registered; missing or unreadable files are skipped, never reported.
QStringList installLayoutFonts(const QStringList& folders = defaultFontFolders());

// The face to draw `face` in on this machine's screens: a scalable face of the same widths where
// the screen is scaled and `face` exists in a few pixel sizes only, and a real bold face where
// bold is asked of a face that has no bold.
QString screenFace(const QString& face, bool bold = false);

// A face at a size in points at 96 dots per inch, as the layouts' pixel sizes were made for:
// 8 points is 11 pixels whatever the screen's resolution. Letters keep their own widths (no
// kerning, no ligatures).
QFont layoutFont(const QString& face, int points, bool bold = false, bool italic = false);
