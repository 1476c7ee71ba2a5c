#include "gui/widgets/app_fonts.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <cmath>

namespace {
struct FaceFile {
    const char* family;
    const char* file;
};
// The family each file registers; a family the system has already is left to the system's face.
constexpr FaceFile FaceFiles[] = {
    {"Tahoma", "tahoma.ttf"},
    {"Tahoma", "tahomabd.ttf"},
    {"MS Sans Serif", "ms_sans_serif.ttf"},
};
struct StandIn {
    const char* family;
    const char* standIn;
};
// Faces the layouts name, each with the installed face closest to its widths should it be missing
// (the usual default sans serif runs a good deal wider).
constexpr StandIn StandIns[] = {
    {"Arial", "Liberation Sans"},
    {"Tahoma", "Liberation Sans"},
    {"MS Sans Serif", "Liberation Sans"},
};
constexpr double LayoutDpi = 96.0;
constexpr double PointsPerInch = 72.0;
}  // namespace

QStringList defaultFontFolders() { return {QStringLiteral("/usr/share/wine/fonts")}; }

QStringList installLayoutFonts(const QStringList& folders)
{
    const QStringList systemFamilies = QFontDatabase::families();
    QStringList registered;
    for (const FaceFile& face : FaceFiles) {
        if (systemFamilies.contains(QLatin1String(face.family), Qt::CaseInsensitive)) continue;
        for (const QString& folder : folders) {
            const QString path = QDir(folder).filePath(QLatin1String(face.file));
            if (!QFileInfo(path).isFile()) continue;
            if (QFontDatabase::addApplicationFont(path) >= 0) {
                registered << path;
                break;
            }
        }
    }
    const QStringList families = QFontDatabase::families();
    for (const StandIn& face : StandIns) {
        const QString family = QLatin1String(face.family);
        if (!families.contains(family, Qt::CaseInsensitive) && QFont::substitutes(family).isEmpty())
            QFont::insertSubstitution(family, QLatin1String(face.standIn));
    }
    return registered;
}

QFont layoutFont(const QString& face, int points, bool bold, bool italic)
{
    QFont font(face);
    font.setStyleHint(QFont::SansSerif);
    // Letters side by side at their own widths, as the layouts were measured: no kerning, and no
    // ligatures (the free "MS Sans Serif" would draw "TM" as a trademark sign).
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setPixelSize(int(std::lround(points * LayoutDpi / PointsPerInch)));
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}
