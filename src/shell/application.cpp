#include "shell/application.h"

#include "shell/prompts.h"

HoopApplication::HoopApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void ReportError(const std::exception& error)
{
    ShowError(QString::fromLocal8Bit(error.what()));
}

bool HoopApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ReportError(error);
    } catch (...) {
        ShowError(QStringLiteral("Unknown error"));
    }
    return false;
}
