#pragma once
#include <QApplication>

// The application object with the general error report: an exception that escapes an event
// handler shows an error box with its own text, and the program goes on with the next event. It
// installs the faces the windows are laid out for and makes 8-point "MS Sans Serif" the default.
class HoopApplication : public QApplication {
public:
    HoopApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
