#include "shell/outlook_command.h"

#include <QFile>
#include <QTextStream>

#include "outlook/outlook_report.h"
#include "settings/qt_settings.h"
#include "settings/settings.h"
#include "shell/command_line.h"
#include "shell/data_folder.h"
#include "ui/ansi_text.h"
#include "ui/prompts.h"

namespace {
// What a box would say goes to standard error; every question gets the answer that changes
// nothing. There is nobody at a window to ask.
class ErrorStreamPrompts final : public IPrompts {
public:
    explicit ErrorStreamPrompts(QTextStream& err) : m_err(err) { setPrompts(this); }
    ~ErrorStreamPrompts() override { setPrompts(nullptr); }
    PromptAnswer ask(PromptKind, const QString& text, PromptButtons buttons) override
    {
        m_err << "hoopfall: " << text << "\n";
        m_err.flush();
        if (buttons == PromptButtons::Ok) return PromptAnswer::Ok;
        return buttons == PromptButtons::OkCancel ? PromptAnswer::Cancel : PromptAnswer::No;
    }
    void beep() override {}
    bool saveFile(SaveFileRequest&) override { return false; }
    bool printDialog(QPrinter&, int&) override { return false; }

private:
    QTextStream& m_err;
};
}  // namespace

int runOutlookCommand(const CommandLine& line, QTextStream& out, QTextStream& err)
{
    if (!line.error.empty()) {
        err << "hoopfall: " << QString::fromLocal8Bit(line.error) << "\n\n" << UsageText;
        err.flush();
        return UsageExitCode;
    }
    if (line.help) {
        out << UsageText;
        out.flush();
        return 0;
    }
    ErrorStreamPrompts prompts(err);
    // Scored with the user's round values, as the standings would be.
    QtSettingsStore store;
    TRegIniFile settings(store);
    const ScoringValues values = settings::readScoringValues(settings);
    const std::string dir = QFile::encodeName(typedFolder(*line.poolDir)).toStdString();
    const outlook::OutlookReport report = outlook::poolOutlookReport(dir, values, line.places);
    if (!report.error.empty()) {
        err << "hoopfall: " << QString::fromLocal8Bit(report.error) << "\n";
        err.flush();
        return UsageExitCode;
    }
    // Names and notes are stored text, in the pool's code page.
    out << fromAnsi(report.text);
    out.flush();
    for (const std::string& note : report.notes) err << fromAnsi(note) << "\n";
    err.flush();
    return 0;
}
