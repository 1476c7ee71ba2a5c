#include "gui/widgets/guarded.h"

#include <QString>

#include "gui/widgets/ansi_text.h"
#include "gui/widgets/prompts.h"

void reportError(const std::exception& error) { showError(fromMessage(error.what())); }

void reportUnknownError() { showError(QStringLiteral("Unknown error")); }
