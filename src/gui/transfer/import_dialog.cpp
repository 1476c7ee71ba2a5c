#include "gui/transfer/import_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/widgets/ansi_text.h"

ImportDialog::ImportDialog(QWidget* owner, const QString& caption, const QString& summary,
                           const TransferProblems& refused, bool canImport, const QString& note,
                           const QStringList& files)
    : QDialog(owner)
{
    setWindowTitle(caption);
    setObjectName(QStringLiteral("frmImport"));

    m_summaryLabel = new QLabel(summary, this);
    m_summaryLabel->setObjectName(QStringLiteral("lblSummary"));
    m_summaryLabel->setWordWrap(true);

    const std::vector<TransferProblem>& problems = refused.listed;
    const int rows = int(problems.size()) + (refused.unlisted() > 0 ? 1 : 0);
    const int first = files.isEmpty() ? 0 : 1;  // the file column, when there is one
    m_refusedGrid = new QTableWidget(rows, first + 3, this);
    m_refusedGrid->setObjectName(QStringLiteral("grdRefused"));
    QStringList headers{QStringLiteral("Line"), QStringLiteral("Column"), QStringLiteral("Reason")};
    if (first) headers.prepend(QStringLiteral("File"));
    m_refusedGrid->setHorizontalHeaderLabels(headers);
    m_refusedGrid->verticalHeader()->hide();
    m_refusedGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Read only: Tab goes on to the buttons instead of walking (and wrapping round) the cells.
    m_refusedGrid->setTabKeyNavigation(false);
    m_refusedGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_refusedGrid->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < int(problems.size()); ++row) {
        const TransferProblem& problem = problems[std::size_t(row)];
        const QString cells[3] = {problem.line > 0 ? QString::number(problem.line) : QString(),
                                  fromAnsi(problem.column), toQString(problem.reason)};
        if (first) m_refusedGrid->setItem(row, 0, new QTableWidgetItem(files.value(row)));
        for (int column = 0; column < 3; ++column)
            m_refusedGrid->setItem(row, first + column, new QTableWidgetItem(cells[column]));
    }
    if (refused.unlisted() > 0) {
        const int row = rows - 1;
        for (int column = 0; column < first + 2; ++column) m_refusedGrid->setItem(row, column, new QTableWidgetItem);
        m_refusedGrid->setItem(row, first + 2, new QTableWidgetItem(fromAnsi(unlistedText(refused.unlisted()))));
    }
    m_refusedGrid->resizeColumnsToContents();
    m_refusedGrid->horizontalHeader()->setStretchLastSection(true);
    m_refusedGrid->setVisible(rows > 0);

    m_noteLabel = new QLabel(note, this);
    m_noteLabel->setObjectName(QStringLiteral("lblNote"));
    m_noteLabel->setWordWrap(true);
    m_noteLabel->setVisible(!note.isEmpty());

    m_importButton = new QPushButton(QStringLiteral("&Import"), this);
    m_importButton->setObjectName(QStringLiteral("cmdImport"));
    m_importButton->setEnabled(canImport);
    m_importButton->setDefault(canImport);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("cmdCancel"));
    connect(m_importButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_importButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summaryLabel);
    layout->addWidget(m_refusedGrid, 1);
    layout->addWidget(m_noteLabel);
    layout->addLayout(buttons);
    resize(rows == 0 && note.isEmpty() ? QSize(420, 120) : QSize(640, rows == 0 ? 240 : 400));
}
