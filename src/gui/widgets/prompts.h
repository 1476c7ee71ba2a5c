#pragma once
#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

// Every message box, the beep, the open-file, save-file and folder dialogs and the print dialog go
// through here, so tests can answer them without a modal dialog.
enum class PromptKind { Information, Warning, Error, Confirmation };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

struct SaveFileRequest {
    QString title;
    QString directory;
    QString fileName;       // in: proposed name; out: the chosen full path
    QString defaultSuffix;  // added when the typed name has none
    QStringList filters;    // "HTML (*.htm)" ...
    int filterIndex = 1;    // in and out, 1-based
    bool confirmOverwrite = true;
    bool suffixFollowsType = false;  // the default suffix becomes the chosen type's ("*.csv": csv)
};

struct FolderRequest {
    QString title;
    QString directory;  // in: where the dialog opens; out: the chosen folder
};

struct OpenFileRequest {
    QString title;
    QString directory;
    QString fileName;       // out: the chosen full path (the first one, when several)
    QStringList filters;    // "Comma Separated (*.csv)" ...
    int filterIndex = 1;    // in and out, 1-based
    bool several = false;   // in: more than one file may be chosen
    QStringList fileNames;  // out, with several: every chosen full path
};

class Prompts {
public:
    virtual ~Prompts() = default;
    // defaultAnswer is the button that Enter presses: the first one (OK, Yes) unless the question
    // would destroy something, where it is the answer that changes nothing.
    virtual PromptAnswer ask(PromptKind kind, const QString& text, PromptButtons buttons,
                             PromptAnswer defaultAnswer) = 0;
    PromptAnswer ask(PromptKind kind, const QString& text, PromptButtons buttons)
    {
        return ask(kind, text, buttons,
                   buttons == PromptButtons::Ok || buttons == PromptButtons::OkCancel ? PromptAnswer::Ok
                                                                                      : PromptAnswer::Yes);
    }
    virtual void beep() = 0;
    virtual bool saveFile(SaveFileRequest& request) = 0;
    // An existing file to read; false when cancelled.
    virtual bool openFile(OpenFileRequest& request) = 0;
    // A folder, existing or made in the dialog; false when cancelled.
    virtual bool chooseFolder(FolderRequest& request) = 0;
    // Shows the print dialog on the printer; false when cancelled. copies: in the count to
    // start with, out the count the user left.
    virtual bool printDialog(QPrinter& printer, int& copies) = 0;
};

// The application title: the caption of the program's information boxes.
void setApplicationTitle(const QString& title);
QString applicationTitleText();

Prompts& prompts();
void setPrompts(Prompts* prompts);  // nullptr puts back the real boxes

// Shorthands.
void showInformation(const QString& text);
void showError(const QString& text);
// A confirmation with OK and Cancel; true for OK.
bool confirmOkCancel(const QString& text);
// The same for a command that destroys something: Cancel is the default, so Enter keeps the data.
bool confirmDestructive(const QString& text);

// The real boxes and dialogs.
class QtPrompts : public Prompts {
public:
    using Prompts::ask;
    PromptAnswer ask(PromptKind kind, const QString& text, PromptButtons buttons, PromptAnswer defaultAnswer) override;
    void beep() override;
    bool saveFile(SaveFileRequest& request) override;
    bool openFile(OpenFileRequest& request) override;
    bool chooseFolder(FolderRequest& request) override;
    bool printDialog(QPrinter& printer, int& copies) override;
};
