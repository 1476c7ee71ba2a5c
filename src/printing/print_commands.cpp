#include "printing/print_commands.h"

#include <QPrinter>
#include <optional>

#include "pool/players.h"
#include "pool/pool_host.h"
#include "printing/page_layout.h"
#include "printing/qt_page_canvas.h"
#include "printing/rules_sheet.h"
#include "settings/settings.h"
#include "shell/ansi_text.h"
#include "shell/busy_cursor.h"
#include "shell/main_window.h"
#include "shell/prompts.h"
#include "shell/splash.h"

namespace {
std::string PoolJobTitle(const TPlayer* entry)
{
    return entry ? CutText("the Hoopfall picks for " + entry->Name.str(), 49) : "Pool sheet for the Hoopfall";
}

std::string PoolPrintedStatus(const TPlayer* entry)
{
    return entry ? CutText("Printing picks for " + entry->Name.str(), 44) + "..." : "Now printing blank pool...";
}

// Shows the print dialog that all printing shares: it starts from the printer and the copy count
// chosen last. The number of copies the user left, or nothing when cancelled.
std::optional<int> AskCopies(TMainForm& main, QPrinter& printer)
{
    int copies = main.PrintCopies;
    if (!Prompts().PrintDialog(printer, copies)) return std::nullopt;
    printer.setCopyCount(1);  // every copy is a job of its own
    main.PrintCopies = copies;
    return copies;
}
}  // namespace

void PrintPool(TMainForm& main, const TPlayer* entry)
{
    QPrinter& printer = main.Printer();
    const std::optional<int> copies = AskCopies(main, printer);
    if (!copies) return;

    BusyCursor busy;
    main.SetStatusText(QStringLiteral("Preparing to print..."));
    printer.setDocName(FromAnsi(PoolJobTitle(entry)));
    printer.setPageOrientation(QPageLayout::Landscape);

    const PoolSheetTexts texts{main.DataDirBytes(), ToAnsi(ProgramVersion)};
    QtPageCanvas canvas(printer);
    try {
        for (int copy = 1; copy <= *copies; ++copy) {
            canvas.BeginDoc();
            DrawPoolSheet(canvas, entry, texts, [&main](int r) { main.SetProgress(RoundPercent(r / 7.0)); });
            main.SetStatusText(PoolPrintedStatus(entry));
            canvas.EndDoc();
        }
    } catch (...) {
        // The job goes out as far as it got; the bar and the cursor are back before the error goes on.
        try {
            canvas.EndDoc();
        } catch (...) {
        }
        main.SetProgress(0);
        throw;
    }
    main.SetProgress(0);
}

void PrintRules(TMainForm& main)
{
    QPrinter& printer = main.Printer();
    const std::optional<int> copies = AskCopies(main, printer);
    if (!copies) return;

    BusyCursor busy;
    main.SetStatusText(QStringLiteral("Preparing to print..."));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(FromAnsi(RulesJobTitle));

    // The closing status also follows a failure, once the copy's job is closed.
    struct Done {
        TMainForm& main;
        ~Done() { main.SetStatusText(QStringLiteral("                           ...now printing rules for the Hoopfall.")); }
    } done{main};
    TRegIniFile store;
    QtPageCanvas canvas(printer);
    for (int copy = 1; copy <= *copies; ++copy) WriteRulesSheet(canvas, BuildRulesSheet(store));
}
