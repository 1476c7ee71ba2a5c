#pragma once
#include <QDialog>
#include <QUrl>

class QLabel;

// The program's version as the splash window shows it ("1.60" for version 1.6.0); empty until
// the first splash window is created.
extern QString ProgramVersion;

// "a.b" followed directly by c: version 1.6.0 reads 1.60, 2.1.3 reads 2.13.
QString FormatVersion(int major, int minor, int release);
// The version text of the program file at path; "File not found" when there is none.
QString GetFileVersionText(const QString& path);

// The help page as it ships (see HelpPageFile).
QUrl HelpPageUrl();

// The round splash window; at start-up it shows status lines, as the About box a click closes it.
class TfrmSplash : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget* parent = nullptr);
    void SetSplashStatus(const QString& text);
    // As the About box: names the folder of the pool in use.
    void ShowPoolFolder(const QString& folder);
    int exec() override;

    QLabel* lblLegal = nullptr;
    QLabel* lblStatus = nullptr;
    QLabel* lblPool = nullptr;

    void imgLogoClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_asDialog = false;
};
