#pragma once
#include <QString>
#include <deque>
#include <functional>
#include <vector>

#include "gui/widgets/prompts.h"

// Records every box and dialog and answers from a script, so no test blocks on a modal dialog.
// With no scripted answer a box is answered OK (or Yes), a file dialog and a print dialog are
// cancelled.
class FakePrompts : public Prompts {
public:
    struct Box {
        PromptKind kind;
        QString text;
        PromptButtons buttons;
        PromptAnswer defaultAnswer;  // the button Enter would press
    };
    std::vector<Box> boxes;
    std::deque<PromptAnswer> answers;
    int beeps = 0;

    // Save dialog: the request as the program made it, and what the "user" chooses.
    std::vector<SaveFileRequest> saveRequests;
    std::deque<std::function<bool(SaveFileRequest&)>> saveAnswers;
    // Open dialog, the same way.
    std::vector<OpenFileRequest> openRequests;
    std::deque<std::function<bool(OpenFileRequest&)>> openAnswers;
    // Folder dialog, the same way.
    std::vector<FolderRequest> folderRequests;
    std::deque<std::function<bool(FolderRequest&)>> folderAnswers;

    // Print dialog: each answer gets the printer (for example to point it at a PDF file) and
    // the copy count.
    int printDialogs = 0;
    std::deque<std::function<bool(QPrinter&, int&)>> printAnswers;

    // Called while a box is "shown" (for example to look at the window behind it).
    std::function<void(const Box&)> onBox;

    using Prompts::ask;
    PromptAnswer ask(PromptKind kind, const QString& text, PromptButtons buttons, PromptAnswer defaultAnswer) override
    {
        boxes.push_back({kind, text, buttons, defaultAnswer});
        if (onBox) onBox(boxes.back());
        if (!answers.empty()) {
            const PromptAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return buttons == PromptButtons::YesNo || buttons == PromptButtons::YesNoCancel ? PromptAnswer::Yes
                                                                                        : PromptAnswer::Ok;
    }
    void beep() override { ++beeps; }
    bool saveFile(SaveFileRequest& request) override
    {
        saveRequests.push_back(request);
        if (saveAnswers.empty()) return false;
        auto answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer(request);
    }
    bool openFile(OpenFileRequest& request) override
    {
        openRequests.push_back(request);
        if (openAnswers.empty()) return false;
        auto answer = openAnswers.front();
        openAnswers.pop_front();
        return answer(request);
    }
    bool chooseFolder(FolderRequest& request) override
    {
        folderRequests.push_back(request);
        if (folderAnswers.empty()) return false;
        auto answer = folderAnswers.front();
        folderAnswers.pop_front();
        return answer(request);
    }
    bool printDialog(QPrinter& printer, int& copies) override
    {
        ++printDialogs;
        if (printAnswers.empty()) return false;
        auto answer = printAnswers.front();
        printAnswers.pop_front();
        return answer(printer, copies);
    }

    QStringList texts() const
    {
        QStringList list;
        for (const Box& box : boxes) list << box.text;
        return list;
    }
    void clear()
    {
        boxes.clear();
        answers.clear();
        beeps = 0;
        saveRequests.clear();
        saveAnswers.clear();
        folderRequests.clear();
        folderAnswers.clear();
        openRequests.clear();
        openAnswers.clear();
        printDialogs = 0;
        printAnswers.clear();
        onBox = nullptr;
    }
};

// The fake installed by the test program's main.
inline FakePrompts& testPrompts() { return static_cast<FakePrompts&>(prompts()); }
