#include "gui/main/open_url.h"

#include <QDesktopServices>

namespace {
UrlOpener& Opener()
{
    static UrlOpener opener;
    return opener;
}
}  // namespace

bool openUrl(const QUrl& url) { return Opener() ? Opener()(url) : QDesktopServices::openUrl(url); }

void setUrlOpener(UrlOpener opener) { Opener() = std::move(opener); }
