// The one fixed-layout mechanism: a table that cannot be applied as written fails at once, naming
// its entry, and every window that keeps a table has each control exactly where its table says
// once the window is built and shown.
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "gui/main/main_window.h"
#include "gui/main/splash.h"
#include "gui/options/options_dialog.h"
#include "gui/players/player_manager.h"
#include "gui/players/player_properties.h"
#include "gui/sheet/bracket_sheet.h"
#include "gui/widgets/layout_table.h"
#include "support/temp_dir.h"
#include "support/test_settings.h"

namespace {
// ---- The mechanism -----------------------------------------------------------------------------

// Each case spoils a sound table one way; nothing is placed unless the whole table is sound.
TEST(LayoutTableTest, AFaultyTableFailsNamingItsEntry)
{
    struct Parts {
        QWidget window;
        QWidget* page = new QWidget(&window);
        QLabel* label = new QLabel(page);
        QLineEdit* box = new QLineEdit(page);
        QWidget* elsewhere = new QWidget(&window);
        Parts()
        {
            window.setObjectName("frmTest");
            page->setObjectName("tbsPage");
            label->setObjectName("lblName");
            box->setObjectName("txtName");
            elsewhere->setObjectName("pnlOther");
        }
    };
    const QRect labelRect(8, 6, 42, 16), boxRect(52, 4, 110, 21);
    struct Case {
        const char* what;
        std::function<LayoutTable(Parts&)> table;
        std::string error;  // empty: applied
    };
    const Case cases[] = {
        {"sound",
         [&](Parts& p) {
             return LayoutTable().within(p.page, {{p.label, labelRect}, {p.box, boxRect}});
         },
         ""},
        {"no control",
         [&](Parts& p) {
             return LayoutTable().within(p.page, {{p.label, labelRect}, {nullptr, boxRect}});
         },
         "Layout of frmTest, entry 2 (none in tbsPage): no control"},
        {"no parent",
         [&](Parts& p) {
             return LayoutTable().within(nullptr, {{p.label, labelRect}});
         },
         "Layout of none, entry 1 (lblName in none): no parent"},
        {"another parent",
         [&](Parts& p) {
             return LayoutTable().within(p.page, {{p.label, labelRect}}).within(p.elsewhere, {{p.box, boxRect}});
         },
         "Layout of frmTest, entry 2 (txtName in pnlOther): the control stands in tbsPage"},
        {"listed twice",
         [&](Parts& p) {
             return LayoutTable().within(p.page, {{p.label, labelRect}, {p.box, boxRect}, {p.label, boxRect}});
         },
         "Layout of frmTest, entry 3 (lblName in tbsPage): the control is placed twice"},
        {"refuses its rectangle",
         [&](Parts& p) {
             p.box->setFixedHeight(25);
             return LayoutTable().within(p.page, {{p.label, labelRect}, {p.box, boxRect}});
         },
         "Layout of frmTest, entry 2 (txtName in tbsPage): the control does not take its rectangle"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Parts parts;
        const LayoutTable table = c.table(parts);
        std::string error;
        try {
            applyLayout(table);
        } catch (const LayoutError& fault) {
            error = fault.what();
        }
        EXPECT_EQ(error, c.error);
        if (c.error.empty()) {
            EXPECT_EQ(parts.label->geometry(), labelRect);
            EXPECT_EQ(parts.box->geometry(), boxRect);
        } else if (error.find("rectangle") == std::string::npos) {
            EXPECT_NE(parts.label->geometry(), labelRect) << "placed although the table is faulty";
        }
    }
}

// ---- Every window's table ----------------------------------------------------------------------

// A window as the program builds it, and the table it keeps.
struct Built {
    std::unique_ptr<QWidget> window;
    const LayoutTable* table;
};
template <class W, class... Args> Built build(Args&&... args)
{
    auto window = std::make_unique<W>(std::forward<Args>(args)...);
    const LayoutTable* table = &window->layoutTable();
    return {std::move(window), table};
}

struct WindowRow {
    const char* name;
    std::function<Built(MainWindow&)> build;
};
// A window with a fixed pixel layout joins here with its table.
const WindowRow Windows[] = {
    {"Options", [](MainWindow& main) { return build<OptionsDialog>(main.session()); }},
    {"Splash", [](MainWindow&) { return build<SplashWindow>(); }},
    {"PlayerManager", [](MainWindow& main) { return build<PlayerManager>(main.session(), main, &main); }},
    {"BracketSheet", [](MainWindow& main) { return build<BracketSheet>(main.session(), main, 0); }},
    {"PlayerProperties", [](MainWindow& main) { return build<PlayerProperties>(&main, main.session().players(), 1); }},
};

void PrintTo(const WindowRow& row, std::ostream* out) { *out << row.name; }

QString nameOf(const QWidget* widget) { return widget ? widget->objectName() : QStringLiteral("(gone)"); }
std::string text(const QRect& rect)
{
    return QStringLiteral("%1,%2 %3x%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height()).toStdString();
}

class WindowLayoutTest : public ::testing::TestWithParam<WindowRow> {};

TEST_P(WindowLayoutTest, EveryEntryPlacesItsControlExactlyAndNoControlIsLeftOut)
{
    TempDir dir;
    MainWindow main(testSettings(), QString::fromStdString(dir.path()));
    Built built = GetParam().build(main);
    built.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(built.window.get()));
    QCoreApplication::processEvents();

    const std::vector<LayoutTable::Entry>& entries = built.table->entries();
    ASSERT_FALSE(entries.empty());
    QSet<const QWidget*> placed, parents;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const LayoutTable::Entry& entry = entries[i];
        SCOPED_TRACE(testing::Message() << "entry " << i + 1 << " " << nameOf(entry.control).toStdString());
        ASSERT_NE(entry.control, nullptr);
        ASSERT_NE(entry.parent, nullptr);
        EXPECT_FALSE(entry.control->objectName().isEmpty()) << "a placed control carries its name";
        EXPECT_EQ(entry.control->parentWidget(), entry.parent.data());
        EXPECT_EQ(text(entry.control->geometry()), text(entry.rect));
        EXPECT_TRUE(built.window->isAncestorOf(entry.control));
        placed.insert(entry.control);
        parents.insert(entry.parent);
    }
    EXPECT_EQ(placed.size(), qsizetype(entries.size())) << "a control listed twice";
    // A control forgotten in the table would stand at 0,0 of its parent.
    for (const QWidget* parent : parents)
        for (const QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->isWindow()) continue;  // a pop-up menu
            EXPECT_TRUE(placed.contains(child))
                << nameOf(child).toStdString() << " in " << nameOf(parent).toStdString();
        }
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowLayoutTest, ::testing::ValuesIn(Windows),
                         [](const auto& info) { return std::string(info.param.name); });
}  // namespace
