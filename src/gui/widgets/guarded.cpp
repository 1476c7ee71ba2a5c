#include "gui/widgets/guarded.h"

#include <QString>

#include "gui/widgets/prompts.h"

void reportError(const std::exception& error) { showError(QString::fromLocal8Bit(error.what())); }

void reportUnknownError() { showError(QStringLiteral("Unknown error")); }
