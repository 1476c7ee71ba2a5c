// The sheets printed through the real Qt canvas to PDF files and read back with pdftotext.
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
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include "pool/bracket.h"
#include "pool/errors.h"
#include "pool/players.h"
#include "pool/team_files.h"
#include "printing/print_commands.h"
#include "printing/print_texts.h"
#include "printing/qt_page_canvas.h"
#include "settings/settings.h"
#include "sheet/bracket_sheet.h"
#include "shell/main_window.h"
#include "shell/splash.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"

namespace {
const QString RulesDone = QStringLiteral("                           ...now printing rules for the Hoopfall.");

QString RunTool(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000)) return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// The text of a PDF in reading order; the font's ligatures are spelled out again.
QString PdfText(const QString& file)
{
    QString text = RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), file, QStringLiteral("-")});
    const std::pair<char16_t, const char*> ligatures[] = {
        {u'\uFB00', "ff"}, {u'\uFB01', "fi"}, {u'\uFB02', "fl"}, {u'\uFB03', "ffi"}, {u'\uFB04', "ffl"}};
    for (const auto& [ligature, letters] : ligatures) text.replace(QChar(ligature), QString::fromLatin1(letters));
    return text;
}

// A field of pdfinfo ("Title", "Pages", "Page size").
QString PdfInfo(const QString& file, const QString& field)
{
    for (const QString& line : RunTool(QStringLiteral("pdfinfo"), {file}).split(QLatin1Char('\n')))
        if (line.startsWith(field + QLatin1Char(':'))) return line.mid(field.size() + 1).trimmed();
    return {};
}

bool Landscape(const QString& file)
{
    // "792 x 612 pts (letter)"
    const QStringList parts = PdfInfo(file, QStringLiteral("Page size")).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return parts.size() >= 3 && parts[0].toDouble() > parts[2].toDouble();
}

void ExpectContains(const QString& text, std::initializer_list<const char*> expected)
{
    for (const char* line : expected)
        EXPECT_TRUE(text.contains(QString::fromLatin1(line))) << line << "\n" << text.toStdString();
}

class PrintCommandsTest : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<TMainForm> main;
    std::vector<int> progress;
    std::vector<int> dialogCopies;
    QString pdf;

    // The in-memory store the test program installed, empty for every test.
    static void ClearSettings() { static_cast<MemorySettings&>(SettingsStore()).values.clear(); }

    void SetUp() override
    {
        ClearSettings();
        TestPrompts().clear();
        ClearTeams();
        for (int p = 1; p <= 4; ++p)
            for (int s = 1; s <= 16; ++s) {
                TTeam& team = TeamEntry(p, s);
                team.region = std::uint8_t(p);
                team.seed = std::uint8_t(s);
                team.name = "Team" + std::to_string(p * 100 + s);
                team.wins = team.losses = "0";
            }
        TeamEntry(1, 1).wins = "27";
        TeamEntry(1, 1).losses = "4";
        TeamEntry(4, 16).wins = "3";
        TeamEntry(4, 16).losses = "";
        SaveRegions(dir.path(), {"East", "West", "Midwest", ""});
        main = std::make_unique<TMainForm>(QString::fromStdString(dir.path()));
        QObject::connect(main->pbProgress, &QProgressBar::valueChanged, [this](int value) { progress.push_back(value); });
        pdf = file("sheet.pdf");
        ProgramVersion = QStringLiteral("1.60");
    }
    void TearDown() override
    {
        main.reset();
        TestPrompts().clear();
        ClearSettings();
        ProgramVersion.clear();
    }

    QString file(const std::string& name) const { return QString::fromStdString(dir.file(name)); }

    // The "user" prints n copies to the PDF file.
    void AnswerPdf(int copies, const QString& file)
    {
        TestPrompts().printAnswers.push_back([this, copies, file](QPrinter& printer, int& count) {
            dialogCopies.push_back(count);  // the count the dialog starts with
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
            printer.setCopyCount(copies);  // as a dialog might leave it
            count = copies;
            return true;
        });
    }
    void AnswerPdf(int copies) { AnswerPdf(copies, pdf); }

    TPlayer Participant()
    {
        TPlayer entry;
        entry.Id = 42;
        entry.Name = "Pat Quinlan";
        entry.Tiebreaker = "147";
        // Game g's pick is the g-th team, so every pick prints a text of its own.
        for (int game = 1; game <= GameCount; ++game) entry.Picks[game] = MakeTeamCode(std::uint8_t((game - 1) / 16 + 1), std::uint8_t((game - 1) % 16 + 1));
        entry.Picks[3] = 0;
        return entry;
    }
    QString hint() const { return main->pnlHint->text(); }
};
}  // namespace

TEST_F(PrintCommandsTest, BlankPoolFromThePoolMenu)
{
    std::vector<bool> busy;
    QObject::connect(main->pbProgress, &QProgressBar::valueChanged, [&busy](int) {
        busy.push_back(QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
    });
    AnswerPdf(1);
    main->mnuPrintBlank->trigger();
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_TRUE(TestPrompts().boxes.empty());
    const QString text = PdfText(pdf);
    ExpectContains(text, {"Full Name:___________________________________________",
                          "Phone #:_____________________ Tiebreaker:_________", "(Circle the champion)",
                          "Do NOT use seed numbers - write out the team name for each game. See back for rules...",
                          "1. Team101 (27-4)", "16. Team116", "8. Team208", "Team301 1.", "Team416 (3-) 16.", "EAST", "WEST",
                          "MIDWEST"});
    EXPECT_EQ(text.count(QString::fromStdString(PrintPromoLine)), 2);
    EXPECT_FALSE(text.contains(QStringLiteral("Champion:")));
    EXPECT_FALSE(text.contains(QStringLiteral("Team101 (27-4) 1.")));
    EXPECT_EQ(PdfInfo(pdf, QStringLiteral("Title")), QStringLiteral("Pool sheet for the Hoopfall"));
    EXPECT_EQ(PdfInfo(pdf, QStringLiteral("Pages")), QStringLiteral("1"));
    EXPECT_TRUE(Landscape(pdf));
    // Without Arial, its metric twin keeps the labels inside their columns.
    EXPECT_TRUE(RunTool(QStringLiteral("pdffonts"), {pdf}).contains(QRegularExpression(QStringLiteral("LiberationSans|Arial"))));
    EXPECT_EQ(progress, (std::vector<int>{14, 29, 43, 57, 71, 86, 0}));
    EXPECT_EQ(busy, (std::vector<bool>{true, true, true, true, true, true, true}));
    EXPECT_EQ(hint(), QStringLiteral("Now printing blank pool..."));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(PrintCommandsTest, ParticipantsPicksInThreeCopiesAreThreeJobs)
{
    const TPlayer entry = Participant();
    AnswerPdf(3);
    PrintPool(*main, &entry);
    const QString text = PdfText(pdf);
    ExpectContains(text, {"the Hoopfall picks for: Pat Quinlan", "Tiebreaker: 147", "Champion: Team415",
                          "the Hoopfall office pool manager (ver 1.60) available at", "Team216", "Team414",
                          "1. Team101 (27-4)"});
    // Game 3's pick is missing; its label in the first column is there, the pick line is empty.
    EXPECT_EQ(text.count(QStringLiteral("Team103")), 1);
    EXPECT_EQ(text.count(QStringLiteral("Team102")), 2);
    EXPECT_FALSE(text.contains(QStringLiteral("Full Name:")));
    EXPECT_FALSE(text.contains(QStringLiteral("(Circle the champion)")));
    EXPECT_EQ(PdfInfo(pdf, QStringLiteral("Title")), QStringLiteral("the Hoopfall picks for Pat Quinlan"));
    EXPECT_TRUE(Landscape(pdf));
    EXPECT_EQ(hint(), QStringLiteral("Printing picks for Pat Quinlan..."));
    // Every copy a complete sheet of its own, its picks starting again at game 1.
    for (const QString& copy : {file("sheet-2.pdf"), file("sheet-3.pdf")}) {
        EXPECT_EQ(PdfInfo(copy, QStringLiteral("Pages")), QStringLiteral("1"));
        EXPECT_EQ(PdfText(copy), text) << copy.toStdString();
    }
    EXPECT_FALSE(dir.exists("sheet-4.pdf"));
    EXPECT_EQ(progress, (std::vector<int>{14, 29, 43, 57, 71, 86, 14, 29, 43, 57, 71, 86, 14, 29, 43, 57, 71, 86, 0}));

    // The dialog is shared by all printing: it started with one copy and now starts with three.
    AnswerPdf(1);
    PrintRules(*main);
    EXPECT_EQ(dialogCopies, (std::vector<int>{1, 3}));
}

TEST_F(PrintCommandsTest, TheBracketSheetPrintsTheStoredEntry)
{
    TPlayer stored = Participant();
    main->Players().Add(stored);
    main->OpenBracketSheet(stored.Id);
    QCoreApplication::processEvents();
    auto* sheet = qobject_cast<TmdiBrackets*>(main->ActiveChild());
    ASSERT_NE(sheet, nullptr);
    sheet->txtName->setText(QStringLiteral("Not Saved Yet"));
    AnswerPdf(1);
    main->mnuPrintPlayerPool->trigger();  // the tool bar's pop-up item posts the command
    EXPECT_FALSE(QFile::exists(pdf));
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(PdfText(pdf).contains(QStringLiteral("the Hoopfall picks for: Pat Quinlan")));
    EXPECT_EQ(sheet->txtName->text(), QStringLiteral("Not Saved Yet"));
}

TEST_F(PrintCommandsTest, CancelledDialogChangesNothing)
{
    main->SetStatusText(QStringLiteral("before"));
    main->SetProgress(37);
    progress.clear();
    const TPlayer entry = Participant();
    PrintPool(*main, &entry);  // the fake cancels when it has no answer
    main->mnuPrintBlank->trigger();
    main->mnuPrintBlankPool->trigger();
    main->mnuPrintRules->trigger();
    EXPECT_EQ(TestPrompts().printDialogs, 4);
    EXPECT_TRUE(TestPrompts().boxes.empty());
    EXPECT_EQ(hint(), QStringLiteral("before"));
    EXPECT_EQ(main->pbProgress->value(), 37);
    EXPECT_TRUE(progress.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(QDir(QString::fromStdString(dir.path())).entryList({QStringLiteral("*.pdf")}).isEmpty());
}

TEST_F(PrintCommandsTest, FailuresCleanUpBeforeTheyGoOn)
{
    // The blank sheet reports its own error box.
    AnswerPdf(1, file("missing/folder/sheet.pdf"));
    main->mnuPrintBlank->trigger();
    ASSERT_EQ(TestPrompts().boxes.size(), 1u);
    EXPECT_EQ(TestPrompts().boxes[0].kind, PromptKind::Error);
    EXPECT_EQ(TestPrompts().boxes[0].text, QStringLiteral("Error printing blank pool."));
    EXPECT_EQ(main->pbProgress->value(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // A participant's sheet passes its failure on, the cursor and the bar already back.
    const TPlayer entry = Participant();
    main->SetProgress(50);
    AnswerPdf(1, file("missing/sheet.pdf"));
    bool cursorBack = false;
    try {
        PrintPool(*main, &entry);
    } catch (const HoopError& error) {
        cursorBack = QApplication::overrideCursor() == nullptr;
        EXPECT_NE(std::string(error.what()).find("sheet.pdf"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(cursorBack);
    EXPECT_EQ(main->pbProgress->value(), 0);

    // The rules sheet still sets its closing status.
    AnswerPdf(1, file("missing/rules.pdf"));
    EXPECT_THROW(PrintRules(*main), HoopError);
    EXPECT_EQ(hint(), RulesDone);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(PrintCommandsTest, ALaterCopyFailingKeepsTheCopiesBeforeIt)
{
    // The second job cannot write its file: a folder stands in its place.
    ASSERT_TRUE(QDir().mkpath(file("sheet-2.pdf")));
    const TPlayer entry = Participant();
    const std::pair<std::function<void()>, const char*> commands[] = {
        {[&] { PrintPool(*main, &entry); }, "Pat Quinlan"}, {[&] { PrintRules(*main); }, "Rules for the Hoopfall Pool"}};
    for (const auto& [print, firstCopyHolds] : commands) {
        QFile::remove(pdf);
        AnswerPdf(3);
        EXPECT_THROW(print(), HoopError);
        EXPECT_TRUE(PdfText(pdf).contains(QString::fromLatin1(firstCopyHolds)));
        EXPECT_FALSE(dir.exists("sheet-3.pdf"));
        EXPECT_EQ(main->pbProgress->value(), 0);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(hint(), RulesDone);
}

TEST_F(PrintCommandsTest, PrintButtonOpensItsPopUpAtTheMouse)
{
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    EXPECT_EQ(main->PopupMenu1->actions(), (QList<QAction*>{main->mnuPrintBlankPool, main->mnuPrintPlayerPool}));
    EXPECT_FALSE(main->mnuPrintPlayerPool->isEnabled());  // no bracket sheet open
    const QPoint at(6, 7);
    QTest::mouseClick(main->btnPrint, Qt::LeftButton, {}, at);
    EXPECT_TRUE(main->PopupMenu1->isVisible());
    EXPECT_EQ(main->PopupMenu1->pos(), main->btnPrint->mapToGlobal(at));
    main->PopupMenu1->hide();
}

// ---- Rules sheet --------------------------------------------------------------------------

TEST_F(PrintCommandsTest, RulesSheetFromTheSettingsInEveryCopy)
{
    AnswerPdf(1);
    main->mnuPrintRules->trigger();
    const QString text = PdfText(pdf);
    ExpectContains(text, {"Rules for the Hoopfall Pool", "* COST PER ENTRY: $5", "you get 2 points.", "Round 6: 6pt(s)",
                          "* RETURN TO: John Doe in accounting or fax to (555) 555-1234"});
    EXPECT_EQ(text.count(QString::fromStdString(PrintPromoLine)), 2);
    EXPECT_EQ(PdfInfo(pdf, QStringLiteral("Title")), QStringLiteral("Rules for the Hoopfall"));
    EXPECT_FALSE(Landscape(pdf));
    EXPECT_EQ(hint(), RulesDone);
    EXPECT_TRUE(progress.empty());  // the rules sheet leaves the progress bar alone
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    TRegIniFile store;
    store.WriteBool("Rules", "PrintCost", false);
    store.WriteString("Rules", "PayDesc1", "Winner");
    store.WriteString("Rules", "PayPct1", "100%");
    store.WriteString("Rules", "ReturnTo", std::string(240, 'z'));
    AnswerPdf(2);
    main->mnuPrintRules->trigger();
    EXPECT_FALSE(dir.exists("sheet-3.pdf"));
    for (const QString& copy : {pdf, file("sheet-2.pdf")}) {
        const QString text = PdfText(copy);
        EXPECT_FALSE(text.contains(QStringLiteral("COST PER ENTRY")));
        EXPECT_TRUE(text.contains(QStringLiteral("Winner: 100%")));
        // The long return-to text goes on over more than one line, every character kept.
        const QStringList zLines = text.split(QLatin1Char('\n')).filter(QStringLiteral("zzz"));
        EXPECT_GE(zLines.size(), 2);
        EXPECT_EQ(zLines.join(QString()).count(QLatin1Char('z')), 240);
    }

    // A dialog left at no copies prints nothing but still closes with its status.
    main->SetStatusText(QStringLiteral("before"));
    QFile::remove(pdf);
    AnswerPdf(0);
    main->mnuPrintRules->trigger();
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(hint(), RulesDone);
}

// ---- The canvas and the real dialog -------------------------------------------------------

TEST(QtPageCanvas, EachJobWritesAFileOfItsOwn)
{
    EXPECT_EQ(QtPageCanvas::JobFileName(QStringLiteral("/tmp/a/sheet.pdf"), 1), QStringLiteral("/tmp/a/sheet.pdf"));
    EXPECT_EQ(QtPageCanvas::JobFileName(QStringLiteral("/tmp/a/my.sheet.pdf"), 3), QStringLiteral("/tmp/a/my.sheet-3.pdf"));
    EXPECT_EQ(QtPageCanvas::JobFileName(QStringLiteral("/tmp/a/sheet"), 2), QStringLiteral("/tmp/a/sheet-2"));
    EXPECT_EQ(QtPageCanvas::JobFileName(QString(), 2), QString());

    TempDir dir;
    const QString file = QString::fromStdString(dir.file("out.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    {
        QtPageCanvas canvas(printer);
        canvas.BeginDoc();
        canvas.EndDoc();
        canvas.BeginDoc();
        EXPECT_TRUE(canvas.Printing());
    }  // left open: ended here
    EXPECT_EQ(printer.outputFileName(), file);
    EXPECT_TRUE(dir.exists("out.pdf"));
    EXPECT_TRUE(dir.exists("out-2.pdf"));
}

// Without any printer installed, the real dialog still offers a PDF file, starting at one copy
// and page 1 to 1.
TEST(RealPrintDialog, OffersPrintingToAPdfFile)
{
    TempDir dir;
    const QString file = QString::fromStdString(dir.file("real.pdf"));
    QtPrompts real;
    QPrinter printer(QPrinter::HighResolution);
    int copies = 1;
    bool offered = false;
    int startCopies = -1, from = -1, to = -1;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
        if (auto* spin = dialog->findChild<QSpinBox*>(QStringLiteral("copies"))) {
            startCopies = spin->value();
            spin->setValue(2);
        }
        if (auto* spin = dialog->findChild<QSpinBox*>(QStringLiteral("from"))) from = spin->value();
        if (auto* spin = dialog->findChild<QSpinBox*>(QStringLiteral("to"))) to = spin->value();
        if (printers && name) {
            const int pdfItem = printers->findText(QStringLiteral("Print to File (PDF)"));
            offered = pdfItem >= 0;
            if (offered) {
                printers->setCurrentIndex(pdfItem);
                name->setText(file);
            }
        }
        if (offered)
            dialog->accept();
        else
            dialog->reject();
    });
    const bool accepted = real.PrintDialog(printer, copies);
    EXPECT_TRUE(offered);
    ASSERT_TRUE(accepted);
    EXPECT_EQ((std::vector<int>{startCopies, from, to}), (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(printer.outputFileName(), file);
    EXPECT_EQ(copies, 2);
    EXPECT_EQ(printer.copyCount(), 1);
}
