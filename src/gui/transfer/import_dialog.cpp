#include "gui/transfer/import_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/widgets/ansi_text.h"

TfrmImport::TfrmImport(QWidget* owner, const QString& caption, const QString& summary,
                       const TransferProblems& refused, bool canImport)
    : QDialog(owner)
{
    setWindowTitle(caption);
    setObjectName(QStringLiteral("frmImport"));

    lblSummary = new QLabel(summary, this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);

    const std::vector<TransferProblem>& problems = refused.listed;
    const int rows = int(problems.size()) + (refused.unlisted() > 0 ? 1 : 0);
    grdRefused = new QTableWidget(rows, 3, this);
    grdRefused->setObjectName(QStringLiteral("grdRefused"));
    grdRefused->setHorizontalHeaderLabels({QStringLiteral("Line"), QStringLiteral("Column"), QStringLiteral("Reason")});
    grdRefused->verticalHeader()->hide();
    grdRefused->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdRefused->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdRefused->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < int(problems.size()); ++row) {
        const TransferProblem& problem = problems[std::size_t(row)];
        const QString cells[3] = {problem.line > 0 ? QString::number(problem.line) : QString(),
                                  fromAnsi(problem.column), fromAnsi(problem.reason)};
        for (int column = 0; column < 3; ++column)
            grdRefused->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    if (refused.unlisted() > 0) {
        const int row = rows - 1;
        grdRefused->setItem(row, 0, new QTableWidgetItem);
        grdRefused->setItem(row, 1, new QTableWidgetItem);
        grdRefused->setItem(row, 2, new QTableWidgetItem(fromAnsi(unlistedText(refused.unlisted()))));
    }
    grdRefused->resizeColumnsToContents();
    grdRefused->horizontalHeader()->setStretchLastSection(true);
    grdRefused->setVisible(rows > 0);

    cmdImport = new QPushButton(QStringLiteral("&Import"), this);
    cmdImport->setObjectName(QStringLiteral("cmdImport"));
    cmdImport->setEnabled(canImport);
    cmdImport->setDefault(canImport);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdImport, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdImport);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSummary);
    layout->addWidget(grdRefused, 1);
    layout->addLayout(buttons);
    resize(rows == 0 ? QSize(420, 120) : QSize(640, 400));
}
