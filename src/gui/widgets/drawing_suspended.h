#pragma once
#include <QWidget>

// Suspends a window's drawing for a scope, so a change is painted in one go when it resumes,
// also after an error.
class DrawingSuspended {
public:
    explicit DrawingSuspended(QWidget* window) : m_window(window) { m_window->setUpdatesEnabled(false); }
    ~DrawingSuspended() { m_window->setUpdatesEnabled(true); }
    DrawingSuspended(const DrawingSuspended&) = delete;
    DrawingSuspended& operator=(const DrawingSuspended&) = delete;

private:
    QWidget* m_window;
};
