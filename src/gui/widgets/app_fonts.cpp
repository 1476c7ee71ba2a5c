#include "gui/widgets/app_fonts.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <cmath>

namespace {
struct FaceFile {
    const char* family;
    const char* file;
};
// The family each file registers; a family the system has already is left to the system's face.
// The free Tahoma's bold file is left out: its letters are as thin as the regular ones but spaced
// at bold widths, so bold text looked regular with gaps ("Champ ion:"). Bold Tahoma is drawn in the
// bold stand-in below instead.
constexpr FaceFile FaceFiles[] = {
    {"Tahoma", "tahoma.ttf"},
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
    {"Arial Black", "Liberation Sans"},
};
// On a scaled screen a face made in a few pixel sizes only is drawn at its nearest size, small and
// spread out. These scalable faces have the widths of the bitmap face at its one layout size.
constexpr StandIn ScalableStandIns[] = {
    {"MS Sans Serif", "Tahoma"},
};
// A real bold face no wider than bold Tahoma, for faces that have no bold of their own: a bold
// made up from the regular letters at their regular widths runs them together.
constexpr const char* BoldStandIn = "Liberation Sans";
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

namespace {
bool isScaledScreen()
{
    // The highest ratio of any screen: a window may move to it.
    return qGuiApp && !qFuzzyCompare(qGuiApp->devicePixelRatio(), 1.0);
}
}  // namespace

QString screenFace(const QString& face, bool bold)
{
    if (bold && QFontDatabase::families().contains(face, Qt::CaseInsensitive) &&
        !QFontDatabase::styles(face).contains(QStringLiteral("Bold"), Qt::CaseInsensitive))
        return QLatin1String(BoldStandIn);
    if (isScaledScreen() && !QFontDatabase::isSmoothlyScalable(face))
        for (const StandIn& standIn : ScalableStandIns)
            if (face.compare(QLatin1String(standIn.family), Qt::CaseInsensitive) == 0)
                return screenFace(QLatin1String(standIn.standIn), bold);
    return face;
}

QFont layoutFont(const QString& face, int points, bool bold, bool italic)
{
    QFont font(screenFace(face, bold));
    font.setStyleHint(QFont::SansSerif);
    // Letters side by side at their own widths, as the layouts were measured: no kerning, and no
    // ligatures (the free "MS Sans Serif" would draw "TM" as a trademark sign).
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setPixelSize(int(std::lround(points * LayoutDpi / PointsPerInch)));
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}
