#pragma once
#include <QDialog>

// The Options dialog: regions, teams, scoring and rules.
class TfrmOptions : public QDialog {
    Q_OBJECT
public:
    explicit TfrmOptions(const QString& dataDir, QWidget* parent = nullptr);

private:
    QString m_dataDir;
};
