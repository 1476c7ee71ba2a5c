#include "settings/options_dialog.h"

TfrmOptions::TfrmOptions(const QString& dataDir, QWidget* parent) : QDialog(parent), m_dataDir(dataDir)
{
    setWindowTitle(QStringLiteral("Options..."));
}
