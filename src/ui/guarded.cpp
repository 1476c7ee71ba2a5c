#include "ui/guarded.h"

#include <QString>

#include "ui/prompts.h"

void reportError(const std::exception& error) { showError(QString::fromLocal8Bit(error.what())); }

void reportUnknownError() { showError(QStringLiteral("Unknown error")); }
