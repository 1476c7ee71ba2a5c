#pragma once
#include <QDialog>
#include <QUrl>

class QLabel;

// The program's version as the splash window shows it ("1.60" for version 1.6.0).
extern QString ProgramVersion;

// The help page that ships beside the program.
QUrl HelpPageUrl();

// The round splash window; also the About box.
class TfrmSplash : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget* parent = nullptr);
    void SetSplashStatus(const QString& text);
    QLabel* lblLegal = nullptr;
    QLabel* lblStatus = nullptr;
};
