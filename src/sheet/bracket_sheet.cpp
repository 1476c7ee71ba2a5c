#include "sheet/bracket_sheet.h"

#include "shell/main_window.h"

TmdiBrackets::TmdiBrackets(TMainForm& main, int id, QWidget* parent) : TChildForm(parent), PlayerId(id), m_main(main)
{
    SetTag(id);
}

void TmdiBrackets::FocusFirst() {}
