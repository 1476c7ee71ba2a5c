#pragma once
#include <QUrl>
#include <functional>

// Everything the program hands to the desktop (a web page, the help page, the data folder) goes
// through here, so tests see what would have opened without a browser or a file manager.
// Returns whether the desktop took the address.
bool openUrl(const QUrl& url);

using UrlOpener = std::function<bool(const QUrl&)>;
void setUrlOpener(UrlOpener opener);  // an empty one puts back the desktop
