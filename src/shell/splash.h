#pragma once
#include <QDialog>
#include <QUrl>

class QLabel;

// "a.b" followed directly by c: version 1.6.0 reads 1.60, 2.1.3 reads 2.13.
QString FormatVersion(int major, int minor, int release);
// The version text of the program file at path; "File not found" when there is none.
QString GetFileVersionText(const QString& path);

// The help page that ships beside the program.
QUrl HelpPageUrl();

// The round splash window; at start-up it shows status lines, as the About box a click closes it.
class TfrmSplash : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget* parent = nullptr);
    void SetSplashStatus(const QString& text);
    int exec() override;

    QLabel* lblLegal = nullptr;
    QLabel* lblStatus = nullptr;

    void imgLogoClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_asDialog = false;
};
