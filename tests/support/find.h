#pragma once
#include <QObject>
#include <stdexcept>
#include <string>

// A window's control by its name, as the program's documents name it; a missing one ends the
// test with the name rather than a crash.
template <class T> T* Find(const QObject& parent, const char* name)
{
    T* found = parent.findChild<T*>(QLatin1String(name));
    if (!found) throw std::runtime_error(std::string("no control named ") + name);
    return found;
}
