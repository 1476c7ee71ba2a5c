#include "gui/main/open_url.h"

#include <QDesktopServices>

namespace {
UrlOpener& installedOpener()
{
    static UrlOpener opener;
    return opener;
}
}  // namespace

bool openUrl(const QUrl& url) { return installedOpener() ? installedOpener()(url) : QDesktopServices::openUrl(url); }

void setUrlOpener(UrlOpener opener) { installedOpener() = std::move(opener); }
