#include "gui/printing/print_commands.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <optional>

#include "core/pool/players.h"
#include "core/pool/scoring.h"
#include "core/printing/page_layout.h"
#include "core/printing/rules_sheet.h"
#include "core/session/pool_session.h"
#include "core/settings/settings.h"
#include "gui/printing/qt_page_canvas.h"
#include "gui/widgets/ansi_text.h"
#include "gui/widgets/busy_cursor.h"
#include "gui/widgets/frame.h"
#include "gui/widgets/prompts.h"
#include "version.h"

namespace {
// A copy's progress in sevenths: one per bracket column, the last for the texts.
constexpr double PoolSheetSteps = 7.0;

// Cut as the code page's bytes, as the names are stored.
CodePageText poolJobTitle(const Player* entry)
{
    return {entry ? cutText("the Hoopfall picks for " + entry->name.text().bytes, 49) : "Pool sheet for the Hoopfall"};
}

CodePageText poolPrintedStatus(const Player* entry)
{
    return {entry ? cutText("Printing picks for " + entry->name.text().bytes, 44) + "..."
                  : "Now printing blank pool..."};
}

// Printing to a file, each copy after the first goes to a file of its own beside the chosen one
// ("report-2.pdf" ...). The print dialog asked before replacing the chosen file; those of the
// other copies that exist are named in one question before anything is printed, so a copy never
// replaces a file unasked and a "no" leaves every file as it was.
bool mayReplaceCopyFiles(const QPrinter& printer, int copies)
{
    const QString chosen = printer.outputFileName();
    if (chosen.isEmpty()) return true;
    QStringList existing;
    for (int job = 2; job <= copies; ++job) {
        const QFileInfo file(QtPageCanvas::jobFileName(chosen, job));
        if (file.exists() || file.isSymLink()) existing << QDir::toNativeSeparators(file.filePath());
    }
    if (existing.isEmpty()) return true;
    prompts().beep();
    return confirmDestructive(existing.size() == 1
                                  ? existing[0] + QStringLiteral(" already exists.\nDo you want to replace it?")
                                  : QStringLiteral("These files already exist:\n") + existing.join(QLatin1Char('\n')) +
                                        QStringLiteral("\nDo you want to replace them?"));
}

// Shows the print dialog that all printing shares: it starts from the printer and the copy count
// chosen last. The number of copies the user left, or nothing when cancelled.
std::optional<int> askCopies(Frame& main, QPrinter& printer)
{
    int copies = main.printCopies();
    if (!prompts().printDialog(printer, copies)) return std::nullopt;
    printer.setCopyCount(1);  // every copy is a job of its own
    main.printCopies() = copies;
    if (!mayReplaceCopyFiles(printer, copies)) return std::nullopt;
    return copies;
}
}  // namespace

void printPool(PoolSession& session, Frame& main, const Player* entry)
{
    QPrinter& printer = main.printer();
    const std::optional<int> copies = askCopies(main, printer);
    if (!copies) return;

    BusyCursor busy;
    main.setStatusText(QStringLiteral("Preparing to print..."));
    printer.setDocName(toQString(poolJobTitle(entry)));
    printer.setPageOrientation(QPageLayout::Landscape);

    const PoolSheetTexts texts{session.teams(), session.regionNames(), version::Text};
    QtPageCanvas canvas(printer);
    try {
        for (int copy = 1; copy <= *copies; ++copy) {
            canvas.beginDoc();
            drawPoolSheet(canvas, entry, texts, [&main](int r) { main.setProgress(roundPercent(r / PoolSheetSteps)); });
            main.setStatusText(toQString(poolPrintedStatus(entry)));
            canvas.endDoc();
        }
    } catch (...) {
        // The job goes out as far as it got; the bar and the cursor are back before the error goes on.
        try {
            canvas.endDoc();
        } catch (...) {
        }
        main.setProgress(0);
        throw;
    }
    main.setProgress(0);
}

void printRules(PoolSession& session, Frame& main)
{
    QPrinter& printer = main.printer();
    const std::optional<int> copies = askCopies(main, printer);
    if (!copies) return;

    BusyCursor busy;
    main.setStatusText(QStringLiteral("Preparing to print..."));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(fromAnsi(RulesJobTitle));

    // The closing status also follows a failure, once the copy's job is closed.
    struct Done {
        Frame& main;
        ~Done()
        {
            main.setStatusText(QStringLiteral("                           ...now printing rules for the Hoopfall."));
        }
    } done{main};
    SettingsFile store(session.settings());
    QtPageCanvas canvas(printer);
    for (int copy = 1; copy <= *copies; ++copy) writeRulesSheet(canvas, buildRulesSheet(store));
}
