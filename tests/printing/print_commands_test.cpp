// The sheets printed through the real Qt canvas to PDF files and read back with pdftotext.
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include "core/pool/errors.h"
#include "core/pool/players.h"
#include "core/pool/team_files.h"
#include "core/printing/print_texts.h"
#include "core/settings/settings.h"
#include "fixed_canvas.h"
#include "gui/main/main_window.h"
#include "gui/main/splash.h"
#include "gui/printing/print_commands.h"
#include "gui/printing/qt_page_canvas.h"
#include "gui/sheet/bracket_sheet.h"
#include "support/fake_prompts.h"
#include "support/find.h"
#include "support/temp_dir.h"
#include "support/test_settings.h"
#include "version.h"

namespace {
const QString RulesDone = QStringLiteral("                           ...now printing rules for the Hoopfall.");

QString runTool(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    return process.waitForFinished(60000) ? QString::fromLocal8Bit(process.readAllStandardOutput()) : QString();
}

// The text of a PDF in reading order, a form feed after each page.
QString pdfText(const QString& file)
{
    return runTool(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), file, QStringLiteral("-")});
}

class PrintCommandsTest : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<MainWindow> main;
    std::vector<int> progress;
    std::vector<bool> busy;  // the hourglass at each progress step
    std::vector<int> dialogCopies;
    QString pdf = file("sheet.pdf");

    // The in-memory store the test program installed, empty for every test.
    static void clearSettings() { testSettings().values.clear(); }

    void SetUp() override
    {
        clearSettings();
        testPrompts().clear();
        nameAllTeams("Team");
        setTeam(1, 1, "Team101", "27", "4");
        setTeam(4, 16, "Team416", "3", "");
        saveRegions(dir.path(), {"East", "West", "Midwest", ""});
        main = std::make_unique<MainWindow>(testSettings(), QString::fromStdString(dir.path()));
        main->session().teams() = teams();
        QObject::connect(Find<QProgressBar>(*main, "pbProgress"), &QProgressBar::valueChanged, [this](int value) {
            progress.push_back(value);
            busy.push_back(QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
        });
    }
    void TearDown() override
    {
        main.reset();
        testPrompts().clear();
        clearSettings();
    }

    QString file(const std::string& name) const { return QString::fromStdString(dir.file(name)); }
    QString hint() const { return Find<QLabel>(*main, "pnlHint")->text(); }

    // The "user" prints n copies to the PDF file.
    void answerPdf(int copies, const QString& file = {})
    {
        testPrompts().printAnswers.push_back([this, copies, file](QPrinter& printer, int& count) {
            dialogCopies.push_back(count);  // the count the dialog starts with
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file.isEmpty() ? pdf : file);
            printer.setCopyCount(copies);  // as a dialog might leave it
            count = copies;
            return true;
        });
    }

    static Player participant()
    {
        Player entry;
        entry.id = 42;
        entry.name = "Pat Quinlan";
        entry.tiebreaker = "147";
        for (int game = 1; game <= GameCount; ++game) entry.picks[game] = pickOf(game);
        entry.picks[3] = 0;
        return entry;
    }
};
}  // namespace

// Each sheet from its command: the texts the PDF holds, the job's title and orientation, one job
// of one page per copy, progress under the hourglass, and the status text after the job went out.
TEST_F(PrintCommandsTest, EachSheetPrintsToPdf)
{
    const Player entry = participant();
    SettingsFile store(testSettings());
    store.writeBool("Rules", "PrintCost", false);
    store.writeString("Rules", "PayDesc1", "Winner");
    store.writeString("Rules", "PayPct1", "100%");
    store.writeString("Rules", "ReturnTo", std::string(240, 'z'));
    const std::vector<int> copy = {14, 29, 43, 57, 71, 86};
    const std::string versionText = "(ver " + std::string(version::Text) + ")";
    struct Case {
        std::function<void()> print;
        int copies;
        QString title;
        QPageLayout::Orientation orientation;
        std::vector<int> progress;
        QString hint;
        std::vector<const char*> present, absent;
    } cases[] = {
        {[&] { Find<QAction>(*main, "mnuPrintBlank")->trigger(); },
         1,
         "Pool sheet for the Hoopfall",
         QPageLayout::Landscape,
         {14, 29, 43, 57, 71, 86, 0},
         "Now printing blank pool...",
         {"Full Name:___________________________________________", "(Circle the champion)", "1. Team101 (27-4)",
          "8. Team208", "Team416 (3-) 16.", "EAST", "MIDWEST"},
         {"Champion:"}},
        // Every copy a complete sheet of its own, its picks starting again at game 1.
        {[&] { printPool(main->session(), *main, &entry); },
         3,
         "the Hoopfall picks for Pat Quinlan",
         QPageLayout::Landscape,
         {14, 29, 43, 57, 71, 86, 14, 29, 43, 57, 71, 86, 14, 29, 43, 57, 71, 86, 0},
         "Printing picks for Pat Quinlan...",
         {"the Hoopfall picks for: Pat Quinlan", "Champion: Team415", "Team216", versionText.c_str()},
         {"Full Name:"}},
        // From the settings as they stand; the rules sheet leaves the progress bar alone.
        {[&] { Find<QAction>(*main, "mnuPrintRules")->trigger(); },
         2,
         "Rules for the Hoopfall",
         QPageLayout::Portrait,
         {},
         RulesDone,
         {"Rules for the Hoopfall Pool", "Winner: 100%", "Round 6: 6pt(s)"},
         {"COST PER ENTRY"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title.toStdString());
        progress.clear();
        busy.clear();
        for (int n = 2; n <= 3; ++n) QFile::remove(file("sheet-" + std::to_string(n) + ".pdf"));
        answerPdf(c.copies);
        c.print();
        EXPECT_TRUE(testPrompts().boxes.empty());
        const QString text = pdfText(pdf);
        for (const char* line : c.present)
            EXPECT_TRUE(text.contains(QLatin1String(line))) << line << "\n" << text.toStdString();
        for (const char* line : c.absent) EXPECT_FALSE(text.contains(QLatin1String(line))) << line;
        EXPECT_EQ(
            (std::vector<qsizetype>{text.count(QString::fromStdString(PrintPromoLine)), text.count(QLatin1Char('\f'))}),
            (std::vector<qsizetype>{2, 1}));
        EXPECT_EQ(main->printer().docName(), c.title);
        EXPECT_EQ(main->printer().pageLayout().orientation(), c.orientation);
        // Without Arial, its metric twin keeps the labels inside their columns.
        EXPECT_TRUE(runTool(QStringLiteral("pdffonts"), {pdf}).contains(QLatin1String("LiberationSans")));
        for (int n = 2; n <= c.copies; ++n) EXPECT_EQ(pdfText(file("sheet-" + std::to_string(n) + ".pdf")), text);
        EXPECT_FALSE(dir.exists("sheet-" + std::to_string(c.copies + 1) + ".pdf"));
        EXPECT_EQ(progress, c.progress);
        EXPECT_EQ(busy, std::vector<bool>(c.progress.size(), true));
        EXPECT_EQ(hint(), c.hint);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        if (c.copies == 3) {  // game 3's pick is missing: its label is there, the pick line is empty
            EXPECT_EQ(
                (std::vector<qsizetype>{text.count(QLatin1String("Team103")), text.count(QLatin1String("Team102"))}),
                (std::vector<qsizetype>{1, 2}));
        }
        QFile::remove(pdf);
    }
    // The dialog is shared by all printing: it starts from the copy count the user left last.
    EXPECT_EQ(dialogCopies, (std::vector<int>{1, 1, 3}));
    // A rules text wider than the page goes on over more than one line, every character kept.
    const QStringList zLines = pdfText(file("sheet-2.pdf")).split(QLatin1Char('\n')).filter(QStringLiteral("zzz"));
    EXPECT_GE(zLines.size(), 2);
    EXPECT_EQ(zLines.join(QString()).count(QLatin1Char('z')), 240);

    // A dialog left at no copies prints nothing but still closes with its status.
    main->setStatusText(QStringLiteral("before"));
    answerPdf(0);
    Find<QAction>(*main, "mnuPrintRules")->trigger();
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(hint(), RulesDone);
}

TEST_F(PrintCommandsTest, TheBracketSheetPrintsTheStoredEntry)
{
    main->session().players().add(participant());
    main->openBracketSheet(42);
    QCoreApplication::processEvents();
    auto* sheet = qobject_cast<BracketSheet*>(main->activeChild());
    ASSERT_NE(sheet, nullptr);
    auto* txtName = sheet->findChild<QLineEdit*>(QStringLiteral("txtName"));
    ASSERT_NE(txtName, nullptr);
    txtName->setText(QStringLiteral("Not Saved Yet"));
    answerPdf(1);
    Find<QAction>(*main, "mnuPrintPlayerPool")->trigger();  // the tool bar's pop-up item posts the command
    EXPECT_FALSE(QFile::exists(pdf));
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(pdfText(pdf).contains(QStringLiteral("the Hoopfall picks for: Pat Quinlan")));
    EXPECT_EQ(txtName->text(), QStringLiteral("Not Saved Yet"));
}

TEST_F(PrintCommandsTest, CancelledDialogChangesNothing)
{
    main->setStatusText(QStringLiteral("before"));
    main->setProgress(37);
    progress.clear();
    const Player entry = participant();
    printPool(main->session(), *main, &entry);  // the fake cancels when it has no answer
    for (QAction* command : {Find<QAction>(*main, "mnuPrintBlank"), Find<QAction>(*main, "mnuPrintBlankPool"),
                             Find<QAction>(*main, "mnuPrintRules")})
        command->trigger();
    EXPECT_EQ(testPrompts().printDialogs, 4);
    EXPECT_TRUE(testPrompts().boxes.empty() && progress.empty());
    EXPECT_EQ((QStringList{hint(), QString::number(Find<QProgressBar>(*main, "pbProgress")->value())}),
              (QStringList{"before", "37"}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(QDir(QString::fromStdString(dir.path())).entryList({QStringLiteral("*.pdf")}).isEmpty());
}

TEST_F(PrintCommandsTest, FailuresCleanUpBeforeTheyGoOn)
{
    // The blank sheet reports its own error box.
    answerPdf(1, file("missing/folder/sheet.pdf"));
    Find<QAction>(*main, "mnuPrintBlank")->trigger();
    ASSERT_EQ(testPrompts().texts(), QStringList{QStringLiteral("Error printing blank pool.")});
    EXPECT_EQ(testPrompts().boxes[0].kind, PromptKind::Error);
    EXPECT_EQ(Find<QProgressBar>(*main, "pbProgress")->value(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // The others pass their failure on, the cursor and the bar already back: a file that cannot
    // be written, and a later copy failing (a folder stands in the second job's file) after the
    // copies before it went out. The rules sheet still sets its closing status.
    const Player entry = participant();
    ASSERT_TRUE(QDir().mkpath(file("sheet-2.pdf")));
    struct Case {
        std::function<void()> print;
        int copies;
        const char* firstCopyHolds;  // nullptr: no copy went out
        int bar;                     // the rules sheet leaves the bar alone
    } cases[] = {{[&] { printPool(main->session(), *main, &entry); }, 1, nullptr, 0},
                 {[&] { printPool(main->session(), *main, &entry); }, 3, "Pat Quinlan", 0},
                 {[&] { printRules(main->session(), *main); }, 3, "Rules for the Hoopfall Pool", 50}};
    for (const Case& c : cases) {
        QFile::remove(pdf);
        main->setProgress(50);
        answerPdf(c.copies, c.copies == 1 ? file("missing/sheet.pdf") : pdf);
        std::string message = "no error";
        try {
            c.print();
        } catch (const HoopError& error) {
            message = error.what();
            EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        }
        EXPECT_NE(message.find(c.copies == 1 ? "sheet.pdf" : "sheet-2.pdf"), std::string::npos) << message;
        EXPECT_TRUE(c.firstCopyHolds ? pdfText(pdf).contains(QLatin1String(c.firstCopyHolds)) : !QFile::exists(pdf));
        EXPECT_FALSE(dir.exists("sheet-3.pdf"));
        EXPECT_EQ(Find<QProgressBar>(*main, "pbProgress")->value(), c.bar);
    }
    EXPECT_EQ(hint(), RulesDone);
}

// The files of the copies after the first that exist already are named in one question before
// anything is printed: Cancel leaves every file as it was, OK prints every copy.
TEST_F(PrintCommandsTest, CopiesToFilesNeverReplaceAFileUnasked)
{
    const Player entry = participant();
    const QString dirPath = QDir::toNativeSeparators(QString::fromStdString(dir.path()));
    struct Case {
        std::function<void()> print;
        int copies;
        std::vector<const char*> existing;
        PromptAnswer answer;
        QString question;
        std::vector<bool> kept;  // each existing file
    } cases[] = {
        {[&] { printPool(main->session(), *main, &entry); },
         3,
         {"sheet-2.pdf"},
         PromptAnswer::Cancel,
         dirPath + "/sheet-2.pdf already exists.\nDo you want to replace it?",
         {true}},
        {[&] { printRules(main->session(), *main); },
         3,
         {"sheet-2.pdf", "sheet-3.pdf"},
         PromptAnswer::Ok,
         "These files already exist:\n" + dirPath + "/sheet-2.pdf\n" + dirPath +
             "/sheet-3.pdf\nDo you want to replace them?",
         {false, false}},
        {[&] { printPool(main->session(), *main, nullptr); },
         2,
         {"sheet-3.pdf"},
         PromptAnswer::Ok,
         {},
         {true}},  // no copy's file
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.question.toStdString());
        testPrompts().clear();
        for (const char* name : {"sheet.pdf", "sheet-2.pdf", "sheet-3.pdf"}) QFile::remove(file(name));
        for (const char* name : c.existing) dir.write(name, "kept");
        answerPdf(c.copies);
        testPrompts().answers = {c.answer};
        c.print();
        ASSERT_EQ(testPrompts().texts(), c.question.isEmpty() ? QStringList{} : QStringList{c.question});
        if (!c.question.isEmpty()) {
            EXPECT_EQ((std::pair{testPrompts().boxes[0].kind, testPrompts().beeps}),
                      (std::pair{PromptKind::Confirmation, 1}));
        }
        EXPECT_EQ(QFile::exists(pdf), c.answer == PromptAnswer::Ok);
        std::vector<bool> kept;
        for (const char* name : c.existing) kept.push_back(dir.read(name) == "kept");
        EXPECT_EQ(kept, c.kept);
    }
}

TEST_F(PrintCommandsTest, PrintButtonOpensItsPopUpAtTheMouse)
{
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    EXPECT_EQ(Find<QMenu>(*main, "PopupMenu1")->actions(),
              (QList<QAction*>{Find<QAction>(*main, "mnuPrintBlankPool"), Find<QAction>(*main, "mnuPrintPlayerPool")}));
    EXPECT_FALSE(Find<QAction>(*main, "mnuPrintPlayerPool")->isEnabled());  // no bracket sheet open
    const QPoint at(6, 7);
    QTest::mouseClick(Find<QToolButton>(*main, "btnPrint"), Qt::LeftButton, {}, at);
    EXPECT_TRUE(Find<QMenu>(*main, "PopupMenu1")->isVisible());
    EXPECT_EQ(Find<QMenu>(*main, "PopupMenu1")->pos(), Find<QToolButton>(*main, "btnPrint")->mapToGlobal(at));
    Find<QMenu>(*main, "PopupMenu1")->hide();
    // Pressed by a screen reader (or the keyboard), it opens below the button.
    auto* button = Find<QToolButton>(*main, "btnPrint");
    QAccessible::queryAccessibleInterface(button)->actionInterface()->doAction(
        QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(Find<QMenu>(*main, "PopupMenu1")->isVisible());
    EXPECT_EQ(Find<QMenu>(*main, "PopupMenu1")->pos(), button->mapToGlobal(button->rect().bottomLeft()));
    Find<QMenu>(*main, "PopupMenu1")->hide();
}

// ---- The canvas and the real dialog -------------------------------------------------------

TEST(QtPageCanvas, EachJobWritesAFileOfItsOwn)
{
    const std::tuple<const char*, int, const char*> names[] = {{"/a/sheet.pdf", 1, "/a/sheet.pdf"},
                                                               {"/a/my.sheet.pdf", 3, "/a/my.sheet-3.pdf"},
                                                               {"/a/sheet", 2, "/a/sheet-2"},
                                                               {"", 2, ""}};
    for (const auto& [name, job, expected] : names)
        EXPECT_EQ(QtPageCanvas::jobFileName(QString::fromLatin1(name), job), QString::fromLatin1(expected));

    TempDir dir;
    const QString file = QString::fromStdString(dir.file("out.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    {
        QtPageCanvas canvas(printer);
        canvas.beginDoc();
        canvas.endDoc();
        canvas.beginDoc();
        EXPECT_TRUE(canvas.printing());
    }  // left open: ended here
    EXPECT_EQ(printer.outputFileName(), file);
    EXPECT_TRUE(dir.exists("out.pdf") && dir.exists("out-2.pdf"));
}

// The screen's "MS Sans Serif" exists in a few pixel sizes only: the sheet prints in a scalable
// face instead.
TEST(QtPageCanvas, PrintsOnlyInScalableFaces)
{
    QPrinter printer(QPrinter::HighResolution);
    QtPageCanvas canvas(printer);
    EXPECT_FALSE(canvas.selectFace("MS Sans Serif"));
    EXPECT_TRUE(canvas.selectFace("Tahoma"));
    EXPECT_FALSE(canvas.selectFace("No Such Face"));
}

// Without any printer installed, the real dialog still offers a PDF file, starting at one copy
// and page 1 to 1.
TEST(RealPrintDialog, OffersPrintingToAPdfFile)
{
    TempDir dir;
    const QString file = QString::fromStdString(dir.file("real.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    int copies = 1;
    std::vector<int> start;  // copies, from, to
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        for (const char* name : {"copies", "from", "to"}) {
            auto* spin = dialog->findChild<QSpinBox*>(QLatin1String(name));
            start.push_back(spin ? spin->value() : -1);
        }
        if (auto* spin = dialog->findChild<QSpinBox*>(QStringLiteral("copies"))) spin->setValue(2);
        auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
        const int pdfItem = printers && name ? printers->findText(QStringLiteral("Print to File (PDF)")) : -1;
        if (pdfItem < 0) return dialog->reject();
        printers->setCurrentIndex(pdfItem);
        name->setText(file);
        dialog->accept();
    });
    ASSERT_TRUE(QtPrompts().printDialog(printer, copies));
    EXPECT_EQ(start, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ((QStringList{printer.outputFileName(), QString::number(printer.outputFormat())}),
              (QStringList{file, QString::number(QPrinter::PdfFormat)}));
    EXPECT_EQ((std::vector<int>{copies, printer.copyCount()}), (std::vector<int>{2, 1}));
}

// "Options >>" adds a page below the dialog's controls; the dialog stays on its screen.
TEST(RealPrintDialog, OptionsKeepTheDialogOnTheScreen)
{
    QPrinter printer(QPrinter::HighResolution);
    int copies = 1;
    QRect room, before, after;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        room = dialog->screen()->availableGeometry();
        dialog->move(room.left() + 20, room.bottom() - dialog->frameGeometry().height() - 20);
        before = dialog->frameGeometry();
        for (QPushButton* button : dialog->findChildren<QPushButton*>())
            if (button->text().contains(QStringLiteral("Options"))) button->click();
        QTest::qWait(50);
        after = dialog->frameGeometry();
        dialog->reject();
    });
    EXPECT_FALSE(QtPrompts().printDialog(printer, copies));
    ASSERT_FALSE(room.isEmpty());
    EXPECT_GT(after.height(), before.height()) << "the options page did not open";
    // Up, to keep the new page on the screen; the width is the dialog's own minimum.
    EXPECT_GE(after.top(), room.top());
    EXPECT_LE(after.bottom(), room.bottom());
    EXPECT_GE(after.left(), room.left());
}
