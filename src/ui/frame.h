#pragma once
#include <QString>

#include "pool/pool_host.h"

class QPrinter;
class QWidget;

// What a window asks of the frame it lives in, beside the pool host's status bar, boxes and
// child-window lookup: opening a sheet, the printer and copy count every print starts from (the
// state of one shared print dialog), and the frame as the parent of dialogs.
class IFrame : public IPoolHost {
public:
    using IPoolHost::SetStatusText;
    virtual void SetStatusText(const QString& text) = 0;
    virtual void OpenBracketSheet(int id) = 0;
    virtual QPrinter& printer() = 0;
    virtual int& printCopies() = 0;
    virtual QWidget* frameWidget() = 0;
};
