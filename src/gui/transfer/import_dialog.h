#pragma once
#include <QDialog>
#include <QStringList>
#include <vector>

#include "core/transfer/import_table.h"

class QLabel;
class QPushButton;
class QTableWidget;

// The report of an import before anything is stored: what can be imported, and each refused
// line with its column and the reason. Import stores the valid lines (the dialog is accepted);
// Cancel stores nothing.
class ImportDialog final : public QDialog {
    Q_OBJECT
public:
    // summary: the line above the list; problems: texts in the storage code page; canImport:
    // whether there is anything to import; note: what the organiser should know beside the
    // refusals, below them (none when empty); files: when not empty, the file of each listed
    // problem, shown in a first column.
    ImportDialog(QWidget* owner, const QString& caption, const QString& summary, const TransferProblems& problems,
                 bool canImport, const QString& note = QString(), const QStringList& files = {});

private:
    QLabel* m_summaryLabel = nullptr;
    QTableWidget* m_refusedGrid = nullptr;
    QLabel* m_noteLabel = nullptr;
    QPushButton* m_importButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
