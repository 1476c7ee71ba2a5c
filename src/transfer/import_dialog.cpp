#include "transfer/import_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/ansi_text.h"

TfrmImport::TfrmImport(QWidget* owner, const QString& caption, const QString& summary,
                       const std::vector<TransferProblem>& problems, bool canImport)
    : QDialog(owner)
{
    setWindowTitle(caption);
    setObjectName(QStringLiteral("frmImport"));

    lblSummary = new QLabel(summary, this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);

    grdRefused = new QTableWidget(int(problems.size()), 3, this);
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
    grdRefused->resizeColumnsToContents();
    grdRefused->horizontalHeader()->setStretchLastSection(true);
    grdRefused->setVisible(!problems.empty());

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
    resize(problems.empty() ? QSize(420, 120) : QSize(640, 400));
}
