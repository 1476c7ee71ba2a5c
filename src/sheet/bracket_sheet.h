#pragma once
#include <QEvent>

#include "shell/child_form.h"

class TMainForm;

// The two private commands of a bracket sheet, posted by the main window.
constexpr QEvent::Type SaveCommand = static_cast<QEvent::Type>(1024);
constexpr QEvent::Type PrintCommand = static_cast<QEvent::Type>(1025);

// A bracket sheet: a new participant (id 0), the results (id -1) or a stored participant.
class TmdiBrackets : public TChildForm {
    Q_OBJECT
public:
    TmdiBrackets(TMainForm& main, int id, QWidget* parent = nullptr);
    void FocusFirst();  // puts the focus where the sheet starts (the name box, or g1 for the results)
    int PlayerId = 0;
    std::uint8_t SheetModified = 0;

private:
    TMainForm& m_main;
};
