#pragma once
#include <QDialog>
#include <QGuiApplication>
#include <QPointer>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <initializer_list>
#include <stdexcept>
#include <vector>

// One control's place in a fixed layout, in pixels (96 dpi) of its parent: a group box's controls
// are placed relative to the group box, a page's relative to the page.
struct ControlPlace {
    QWidget* control;
    QRect rect;
};

// A window's fixed pixel layout as data: its controls by pointer, grouped by the parent each one
// must stand in. A window keeps its table after applying it, so a test can check that every
// control is still there and still at its rectangle once the window is built and shown.
class LayoutTable final {
public:
    struct Entry {
        QPointer<QWidget> control;
        QPointer<QWidget> parent;
        QRect rect;
    };

    // The controls that stand directly in parent.
    LayoutTable& within(QWidget* parent, std::initializer_list<ControlPlace> places);
    // One control, for tables built in a loop.
    LayoutTable& add(QWidget* parent, QWidget* control, const QRect& rect);

    const std::vector<Entry>& entries() const { return m_entries; }

private:
    std::vector<Entry> m_entries;
};

// A layout table that cannot be applied as written: a programming error, reported with the entry
// it concerns instead of leaving a control at 0,0.
class LayoutError final : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// The one way a fixed layout is applied. Checks the whole table first, then places every control;
// throws LayoutError naming the entry for a missing control or parent, a control standing in
// another parent than the table says, a control listed twice, or a control that does not take
// its rectangle (a size limit of its own).
void applyLayout(const LayoutTable& table);

// The small dialog font the pixel layouts were made for (8 points at 96 dots per inch).
constexpr int DialogFontPixels = 11;

// A dialog of one fixed client size, centred on the screen, in the small dialog font.
inline void fixDialog(QDialog& dialog, QSize clientSize)
{
    QFont small = dialog.font();
    small.setPixelSize(DialogFontPixels);
    dialog.setFont(small);
    dialog.setFixedSize(clientSize);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        dialog.move(screen->availableGeometry().center() - dialog.rect().center());
}
