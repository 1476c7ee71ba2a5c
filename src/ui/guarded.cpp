#include "ui/guarded.h"

#include <QString>

#include "ui/prompts.h"

void ReportError(const std::exception& error) { ShowError(QString::fromLocal8Bit(error.what())); }

void ReportUnknownError() { ShowError(QStringLiteral("Unknown error")); }
