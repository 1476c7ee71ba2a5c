#pragma once
#include <QString>
#include <optional>
#include <vector>

#include "core/pool/bracket.h"
#include "core/pool/pool_host.h"

class QPrinter;
class QWidget;

// What a window asks of the frame it lives in, beside the pool host's status bar and boxes: the
// open sheets, opening a sheet, the printer and copy count every print starts from (the state of
// one shared print dialog), and the frame as the parent of dialogs.
class Frame : public PoolHost {
public:
    // The What If sheet's id and tag (a window tag: a stored entry may have any id).
    static constexpr int WhatIfId = -3;
    // The results as the open What If sheet has them: the real ones with its chosen winners in
    // games not played yet, and how many games it decided.
    struct WhatIf {
        PickArray results{};
        int decided = 0;
    };

    using PoolHost::setStatusText;
    virtual void setStatusText(const QString& text) = 0;
    // Index of the child window whose tag equals the argument, searched from the top; -1 if none.
    virtual int findSheetWindow(int tag) = 0;
    // The tags of every open sheet at once, so a command over the whole list asks once.
    virtual std::vector<int> openSheetTags() = 0;
    virtual void openBracketSheet(int id) = 0;
    // Opens the What If sheet, or brings the open one forward.
    virtual void openWhatIf() = 0;
    // Nothing while no What If sheet is open.
    virtual std::optional<WhatIf> whatIf() { return std::nullopt; }
    virtual QPrinter& printer() = 0;
    virtual int& printCopies() = 0;
    virtual QWidget* frameWidget() = 0;
};
