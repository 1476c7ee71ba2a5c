#include "gui/main/application.h"

#include "gui/widgets/app_fonts.h"
#include "gui/widgets/context_menu_key.h"
#include "gui/widgets/guarded.h"

HoopApplication::HoopApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // Every window is drawn in pixels for these faces; without them texts spill out of their boxes.
    installLayoutFonts();
    setFont(layoutFont(QStringLiteral("MS Sans Serif"), 8));
    installEventFilter(new ContextMenuKey(this));
}

bool HoopApplication::notify(QObject* receiver, QEvent* event)
{
    // The last resort for events: handlers connected to signals report their own errors.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        reportError(error);
    } catch (...) {
        reportUnknownError();
    }
    return false;
}
