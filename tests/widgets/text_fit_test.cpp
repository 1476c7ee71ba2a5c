// On a real X server, with the faces the program installs: every label, check box, button, header
// section and status panel of every window shows its whole text inside its own rectangle, at 1x
// and on scaled screens (QT_SCALE_FACTOR). HOOP_SCREENSHOTS=DIR keeps a picture of each window.
#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "core/pool/team_files.h"
#include "gui/main/main_window.h"
#include "gui/main/splash.h"
#include "gui/options/options_dialog.h"
#include "gui/outlook/outlook_window.h"
#include "gui/players/player_manager.h"
#include "gui/players/player_properties.h"
#include "gui/standings/standings_window.h"
#include "gui/widgets/app_fonts.h"
#include "support/find.h"
#include "support/temp_dir.h"
#include "support/test_settings.h"

namespace {
// A real field's longest names, the two-digit seeds among them, on both sides of the bracket.
const char* const TeamNames[RegionCount][SeedCount] = {
    {"Connecticut", "Iowa State", "Illinois", "Auburn", "San Diego St", "Wash. State", "Florida Atl.", "Northwestern",
     "Drake", "Duquesne", "UAB", "Yale", "Morehead St.", "South Dakota", "Gardner-Webb", "Stetson"},
    {"Houston", "Marquette", "Kentucky", "Duke", "Wisconsin", "Texas Tech", "Florida", "Nebraska", "Texas A&M",
     "Colorado", "NC State", "J. Madison", "Vermont", "Oakland", "Western Ky.", "Longwood"},
    {"Purdue", "Tennessee", "Creighton", "Kansas", "Gonzaga", "S. Carolina", "Texas", "Utah State", "TCU", "Virginia",
     "Oregon", "McNeese", "Samford", "Akron", "St. Peter's", "Pennsylvania"},
    {"N. Carolina", "Arizona", "Baylor", "Alabama", "Saint Mary's", "Clemson", "Dayton", "Mississippi", "Michigan St.",
     "Nevada", "New Mexico", "Grand Canyon", "Charleston", "Colgate", "Long Beach", "Jacksonville"},
};

// The text a control shows: an access key's "&" is drawn as an underline, "&&" as "&".
QString shown(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

std::string nameOf(const QWidget* widget)
{
    const QString name = widget->objectName();
    return (name.isEmpty() ? QString::fromLatin1(widget->metaObject()->className()) : name).toStdString();
}

// The texts measured in one window, and those that do not fit or are drawn in a face that cannot.
struct Fit {
    int checked = 0;
    std::vector<std::string> cut;
    std::vector<std::string> blurred;

    // On a scaled screen a face made in a few pixel sizes only is drawn small and spread out.
    void checkFace(const QWidget* widget, const std::string& what)
    {
        if (qFuzzyCompare(widget->devicePixelRatio(), 1.0)) return;
        const QString family = QFontInfo(widget->font()).family();
        if (!QFontDatabase::isSmoothlyScalable(family))
            blurred.push_back(what + " is drawn in \"" + family.toStdString() + "\", which does not scale");
    }

    void check(const std::string& what, const QString& text, int needed, int room)
    {
        ++checked;
        if (needed > room)
            cut.push_back(what + " \"" + text.toStdString() + "\" needs " + std::to_string(needed) + " px, has " +
                          std::to_string(room));
    }
};

void measureLabel(const QLabel* label, Fit& fit)
{
    if (label->text().isEmpty()) return;
    fit.checkFace(label, nameOf(label));
    const QFontMetrics metrics(label->fontMetrics());
    const QString text = label->buddy() ? shown(label->text()) : label->text();
    QRect room = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(), -label->margin());
    // A framed label keeps half an "x" between its frame and the side its text is aligned to.
    int indent = label->indent();
    if (indent < 0) indent = label->frameWidth() > 0 ? metrics.horizontalAdvance(QLatin1Char('x')) / 2 : 0;
    const Qt::Alignment align = QStyle::visualAlignment(label->layoutDirection(), label->alignment());
    if (align & Qt::AlignLeft) room.setLeft(room.left() + indent);
    if (align & Qt::AlignRight) room.setRight(room.right() - indent);
    if (!label->wordWrap()) {
        fit.check(nameOf(label), text, metrics.horizontalAdvance(text), room.width());
        return;
    }
    // A wrapped text must fit in both directions.
    const QRect needed = metrics.boundingRect(room, int(Qt::TextWordWrap | align), text);
    fit.check(nameOf(label) + " (width)", text, needed.width(), room.width());
    fit.check(nameOf(label) + " (lines)", text, needed.height(), room.height());
}

void measureButton(const QAbstractButton* button, Fit& fit)
{
    if (button->text().isEmpty()) return;
    fit.checkFace(button, nameOf(button));
    const QString text = shown(button->text());
    if (qobject_cast<const QToolButton*>(button)) {  // its picture and text side by side
        fit.check(nameOf(button), text, button->sizeHint().width(), button->width());
        return;
    }
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const bool check = qobject_cast<const QCheckBox*>(button) != nullptr;
    const QRect room = button->style()->subElementRect(
        check ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents, &option, button);
    fit.check(nameOf(button), text, button->fontMetrics().horizontalAdvance(text), room.width());
}

void measureHeader(const QHeaderView* header, Fit& fit)
{
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int section = 0; section < header->count(); ++section) {
        if (header->isSectionHidden(section)) continue;
        const QString text = header->model()->headerData(section, header->orientation()).toString();
        fit.check(nameOf(header->parentWidget()) + " header " + std::to_string(section), text,
                  header->fontMetrics().horizontalAdvance(text) + 2 * margin, header->sectionSize(section));
    }
}

Fit measure(QWidget* window)
{
    Fit fit;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window)) continue;
        if (auto* label = qobject_cast<QLabel*>(widget))
            measureLabel(label, fit);
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            measureButton(button, fit);
        else if (auto* header = qobject_cast<QHeaderView*>(widget); header && header->orientation() == Qt::Horizontal)
            measureHeader(header, fit);
    }
    return fit;
}

// The program's main window on a temp pool with a real field, regions, and one participant.
struct Pool {
    TempDir dir;
    std::unique_ptr<MainWindow> main;

    Pool()
    {
        saveRegions(dir.path(), {"East", "Southeast", "Midwest", "West"});
        main = std::make_unique<MainWindow>(testSettings(), QString::fromStdString(dir.path()));
        PoolSession& session = main->session();
        for (int r = 1; r <= RegionCount; ++r)
            for (int s = 1; s <= SeedCount; ++s) {
                Team& team = session.teams().entry(r, s);
                team.region = std::uint8_t(r);
                team.seed = std::uint8_t(s);
                team.name = TeamNames[r - 1][s - 1];
            }
        Player results;
        results.id = ResultsId;
        results.name = ResultsName;
        session.players().add(results);
        Player entry;
        entry.id = 101;
        entry.name = "Bartholomew Wolfenschmidt";
        session.players().add(entry);
        main->show();
    }
};

// One window as the organiser meets it, and the least number of texts it must show.
struct WindowRow {
    const char* name;
    int minimumTexts;
    // Shows the window on the pool; returns the widget to measure.
    std::function<QWidget*(Pool&, std::unique_ptr<QWidget>&)> show;
};

QWidget* openSheet(Pool& pool, int id)
{
    pool.main->openBracketSheet(id);
    return pool.main->findChildren<QMdiSubWindow*>().last();
}

template <class Dialog> QWidget* showOwned(std::unique_ptr<QWidget>& owner, std::unique_ptr<Dialog> dialog)
{
    dialog->show();
    owner = std::move(dialog);
    return owner.get();
}

QWidget* optionsPage(Pool& pool, std::unique_ptr<QWidget>& owner, int page)
{
    QWidget* dialog = showOwned(owner, std::make_unique<OptionsDialog>(pool.main->session(), pool.main.get()));
    Find<QTabWidget>(*dialog, "pcOptions")->setCurrentIndex(page);
    return dialog;
}

const WindowRow Windows[] = {
    // Seven tool buttons (Save hidden), the count and a hint.
    {"MainWindow", 9,
     [](Pool& pool, std::unique_ptr<QWidget>&) -> QWidget* {
         pool.main->setCountText("Players: 1000000");
         pool.main->setStatusText(QStringLiteral("Start a new pool, erasing all current player information"));
         return pool.main.get();
     }},
    // 64 teams, four regions, "Champion:", "Name:", "Tiebreaker:", "Paid?" and the two notes.
    {"NewPlayerSheet", 74, [](Pool& pool, std::unique_ptr<QWidget>&) { return openSheet(pool, 0); }},
    {"PlayerSheet", 74, [](Pool& pool, std::unique_ptr<QWidget>&) { return openSheet(pool, 101); }},
    {"ResultsSheet", 74, [](Pool& pool, std::unique_ptr<QWidget>&) { return openSheet(pool, ResultsId); }},
    // Twelve header sections and the status strip, in the restored window.
    {"Standings", 13,
     [](Pool& pool, std::unique_ptr<QWidget>&) -> QWidget* {
         Find<QAction>(*pool.main, "mnuViewStd")->trigger();
         auto* sub = qobject_cast<QMdiSubWindow*>(pool.main->standingsForm()->parentWidget());
         sub->showNormal();
         return sub;
     }},
    // Eight header sections, the status strip and the paid places, in the restored window.
    {"Outlook", 10,
     [](Pool& pool, std::unique_ptr<QWidget>&) -> QWidget* {
         Find<QAction>(*pool.main, "mnuOutlook")->trigger();
         auto* outlook = pool.main->outlookForm();
         QSignalSpy computed(outlook, &OutlookWindow::computed);
         if (outlook->isComputing()) {
             EXPECT_TRUE(computed.wait(60000));
         }
         auto* sub = qobject_cast<QMdiSubWindow*>(outlook->parentWidget());
         sub->showNormal();
         return sub;
     }},
    // OK and Cancel, and each page's own texts.
    {"OptionsRegions", 2, [](Pool& pool, std::unique_ptr<QWidget>& owner) { return optionsPage(pool, owner, 0); }},
    {"OptionsTeams", 8, [](Pool& pool, std::unique_ptr<QWidget>& owner) { return optionsPage(pool, owner, 1); }},
    {"OptionsScoring", 9, [](Pool& pool, std::unique_ptr<QWidget>& owner) { return optionsPage(pool, owner, 2); }},
    {"OptionsRules", 10, [](Pool& pool, std::unique_ptr<QWidget>& owner) { return optionsPage(pool, owner, 3); }},
    {"PlayerManager", 3,
     [](Pool& pool, std::unique_ptr<QWidget>& owner) {
         return showOwned(owner, std::make_unique<PlayerManager>(pool.main->session(), *pool.main, pool.main.get()));
     }},
    {"PlayerProperties", 14,
     [](Pool& pool, std::unique_ptr<QWidget>& owner) {
         return showOwned(owner,
                          std::make_unique<PlayerProperties>(pool.main.get(), pool.main->session().players(), 101));
     }},
    {"Splash", 2,
     [](Pool&, std::unique_ptr<QWidget>& owner) {
         auto splash = std::make_unique<SplashWindow>();
         splash->setSplashStatus(QStringLiteral("Loading Players Picks..."));
         return showOwned(owner, std::move(splash));
     }},
    {"About", 2,
     [](Pool& pool, std::unique_ptr<QWidget>& owner) {
         auto about = std::make_unique<SplashWindow>(pool.main.get());
         about->showPoolFolder(QString::fromStdString(pool.dir.path()));
         return showOwned(owner, std::move(about));
     }},
};

void PrintTo(const WindowRow& row, std::ostream* out) { *out << row.name; }

class TextFitTest : public ::testing::TestWithParam<WindowRow> {};

TEST_P(TextFitTest, EveryTextFitsItsBox)
{
    Pool pool;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(pool.main.get()));
    std::unique_ptr<QWidget> owner;
    QWidget* window = GetParam().show(pool, owner);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window->window()));
    QCoreApplication::processEvents();

    const Fit fit = measure(window);
    EXPECT_GE(fit.checked, GetParam().minimumTexts) << "the window lost texts it shows";
    for (const std::string& cut : fit.cut) ADD_FAILURE() << cut;
    for (const std::string& blurred : fit.blurred) ADD_FAILURE() << blurred;

    if (const QString folder = qEnvironmentVariable("HOOP_SCREENSHOTS"); !folder.isEmpty()) {
        const QString scale = QString::number(window->devicePixelRatio());
        window->grab().save(
            QDir(folder).filePath(QStringLiteral("%1-x%2.png").arg(QLatin1String(GetParam().name), scale)));
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, TextFitTest, ::testing::ValuesIn(Windows),
                         [](const auto& info) { return std::string(info.param.name); });

// The fit above means something only in the faces the layouts were drawn for.
TEST(LayoutFonts, TheFacesOfTheLayoutsAreInstalled)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb")) << "runs under with_xvfb.sh";
    for (const char* face : {"Tahoma", "MS Sans Serif"})
        EXPECT_EQ(QFontInfo(QFont(QLatin1String(face))).family(), QLatin1String(face))
            << face << ": make deps installs fonts-wine";
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("Arial"))).family(), QStringLiteral("Liberation Sans"))
        << "make deps installs fonts-liberation";
    const bool scaled = !qFuzzyCompare(qApp->devicePixelRatio(), 1.0);
    EXPECT_EQ(QFontInfo(QApplication::font()).family(),
              scaled ? QStringLiteral("Tahoma") : QStringLiteral("MS Sans Serif"));
    // Letters keep their own widths: the free face would otherwise join "TM" into one sign. (On a
    // scaled screen the letters' widths are fractions of a pixel, so only their sum is exact.)
    if (scaled) return;
    const QFontMetrics metrics(QApplication::font());
    int letters = 0;
    for (QChar letter : QStringLiteral("HTML")) letters += metrics.horizontalAdvance(letter);
    EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("HTML")), letters);
}

// The dark pixels of a text: a bold face must lay down clearly more ink than its regular face.
int ink(QFont font, bool bold)
{
    font.setBold(bold);
    QImage image(200, 40, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("Champion: Illinois"));
    painter.end();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) dark += 255 - qGray(image.pixel(x, y));
    return dark;
}

TEST(LayoutFonts, BoldTextIsDrawnInABoldFace)
{
    // The free Tahoma's bold file has the regular letters at bold widths ("Champ ion:").
    for (const char* face : {"Tahoma", "MS Sans Serif", "Arial"}) {
        const QFont font = layoutFont(QLatin1String(face), 8);
        EXPECT_GT(ink(layoutFont(QLatin1String(face), 8, true), true), ink(font, false) * 5 / 4) << face;
    }
    // The About title's heavy face is a real face, not the system's fallback.
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("Arial Black"))).family(), QStringLiteral("Liberation Sans"));
}
}  // namespace
