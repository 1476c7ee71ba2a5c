#pragma once
#include <QString>
#include <QValidator>

class QLineEdit;

// A text box holds one line. A pasted text may bring control characters that no field can show
// and the files and exports cannot hold sensibly: a line break (CR LF counted once) or a tab
// becomes a space, and line breaks at the very end, as a copied cell ends, are dropped.
QString oneLine(const QString& text);

class OneLineText : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// Gives the box a OneLineText validator.
void keepOneLine(QLineEdit* box);
