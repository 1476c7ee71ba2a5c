#pragma once
#include <QDialog>
#include <QUrl>

#include "gui/widgets/layout_table.h"

class QLabel;

// "a.b" followed directly by c: version 1.6.0 reads 1.60, 2.1.3 reads 2.13.
QString formatVersion(int major, int minor, int release);
// The version text of the program file at path; "File not found" when there is none.
QString getFileVersionText(const QString& path);

// The help page as it ships (see helpPageFile).
QUrl helpPageUrl();

// The round splash window; at start-up it shows status lines, as the About box a click closes it.
class SplashWindow final : public QDialog {
    Q_OBJECT
public:
    explicit SplashWindow(QWidget* parent = nullptr);
    // Shows the window at start-up, painted before this returns.
    void showAtStartUp();
    void setSplashStatus(const QString& text);
    // As the About box: names the folder of the pool in use.
    void showPoolFolder(const QString& folder);
    int exec() override;

    const LayoutTable& layoutTable() const { return m_layout; }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void onLogoClicked();

    LayoutTable m_layout;
    bool m_asDialog = false;

    QLabel* m_logo = nullptr;
    QLabel* m_legalLabel = nullptr;
    QLabel* m_statusLabel = nullptr;
    QLabel* m_poolLabel = nullptr;
};
