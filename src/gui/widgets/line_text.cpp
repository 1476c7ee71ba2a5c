#include "gui/widgets/line_text.h"

#include <QLineEdit>

namespace {
bool isControl(QChar c)
{
    return c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

QString controlsAsSpaces(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;  // the pair is one break
        out += isControl(text[i]) ? QChar(u' ') : text[i];
    }
    return out;
}
}  // namespace

QString oneLine(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && (text[end - 1] == u'\n' || text[end - 1] == u'\r')) --end;
    return controlsAsSpaces(text.left(end));
}

QValidator::State OneLineText::validate(QString& input, int& pos) const
{
    const QString fixed = oneLine(input);
    if (fixed != input) {
        pos = static_cast<int>(std::min(controlsAsSpaces(input.left(pos)).size(), fixed.size()));
        input = fixed;
    }
    return Acceptable;
}

void keepOneLine(QLineEdit* box) { box->setValidator(new OneLineText(box)); }
