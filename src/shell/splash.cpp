#include "shell/splash.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>

QString ProgramVersion;

QUrl HelpPageUrl() { return QUrl::fromLocalFile(QDir(QCoreApplication::applicationDirPath()).filePath("help.html")); }

TfrmSplash::TfrmSplash(QWidget* parent) : QDialog(parent)
{
    lblLegal = new QLabel(this);
    lblStatus = new QLabel(this);
}

void TfrmSplash::SetSplashStatus(const QString& text)
{
    lblStatus->setText(text);
    repaint();
}
