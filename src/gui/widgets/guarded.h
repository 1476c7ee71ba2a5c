#pragma once
#include <exception>
#include <utility>

// Qt does not let an exception cross its signal delivery, so every handler connected to a signal
// catches what it throws and reports it here, as the general error report would: an error box
// with the error's own text, after which the program goes on.
void reportError(const std::exception& error);
void reportUnknownError();

// A handler that reports instead of throwing: connect(button, &QPushButton::clicked, this,
// guarded(this, &Window::acceptChanges)) or guarded([this] { ... }). It takes the arguments the
// handler takes, so Qt passes a signal's leading arguments and drops the rest, as it does for
// any handler.
template <class F> auto guarded(F handler)
{
    // The return type says which arguments the handler takes, so connect() can leave out the
    // signal's arguments it does not want (clicked(bool) into a handler of none).
    return [handler = std::move(handler)](
               auto&&... args) -> decltype(std::declval<const F&>()(std::forward<decltype(args)>(args)...), void()) {
        try {
            handler(std::forward<decltype(args)>(args)...);
        } catch (const std::exception& error) {
            reportError(error);
        } catch (...) {
            reportUnknownError();
        }
    };
}

template <class T, class R, class... A> auto guarded(T* object, R (T::*method)(A...))
{
    return guarded([object, method](A... args) { (object->*method)(args...); });
}
