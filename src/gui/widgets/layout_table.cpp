#include "gui/widgets/layout_table.h"

#include <QSet>
#include <string>

namespace {
std::string nameOf(const QWidget* widget)
{
    if (!widget) return "none";
    const QString name = widget->objectName();
    return (name.isEmpty() ? QString::fromLatin1(widget->metaObject()->className()) : name).toStdString();
}

[[noreturn]] void fail(std::size_t index, const LayoutTable::Entry& entry, const std::string& fault)
{
    const QWidget* window = entry.parent ? entry.parent->window() : nullptr;
    throw LayoutError("Layout of " + nameOf(window) + ", entry " + std::to_string(index + 1) + " (" +
                      nameOf(entry.control) + " in " + nameOf(entry.parent) + "): " + fault);
}
}  // namespace

LayoutTable& LayoutTable::within(QWidget* parent, std::initializer_list<ControlPlace> places)
{
    for (const ControlPlace& place : places) m_entries.push_back({place.control, parent, place.rect});
    return *this;
}

LayoutTable& LayoutTable::add(QWidget* parent, QWidget* control, const QRect& rect)
{
    m_entries.push_back({control, parent, rect});
    return *this;
}

void applyLayout(const LayoutTable& table)
{
    // Nothing moves unless the whole table is sound.
    QSet<const QWidget*> seen;
    const std::vector<LayoutTable::Entry>& entries = table.entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const LayoutTable::Entry& entry = entries[i];
        if (!entry.parent) fail(i, entry, "no parent");
        if (!entry.control) fail(i, entry, "no control");
        if (entry.control->parentWidget() != entry.parent)
            fail(i, entry, "the control stands in " + nameOf(entry.control->parentWidget()));
        if (seen.contains(entry.control)) fail(i, entry, "the control is placed twice");
        seen.insert(entry.control);
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const LayoutTable::Entry& entry = entries[i];
        entry.control->setGeometry(entry.rect);
        if (entry.control->geometry() != entry.rect) fail(i, entry, "the control does not take its rectangle");
    }
}
