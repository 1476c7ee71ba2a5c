#pragma once
#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <string>

#include "pool/players.h"
#include "support/fake_prompts.h"

// A stored participant with the flags the Player Manager filters and draws by.
inline TPlayer makeEntry(std::int32_t id, std::string_view name, bool complete, bool paid)
{
    TPlayer entry;
    entry.Id = id;
    entry.Name = name;
    entry.Complete = complete ? 1 : 0;
    entry.Paid = paid ? 1 : 0;
    return entry;
}

// Acts on the modal dialog of type Dialog once its own event loop runs, then closes it if the
// action left it open, so a failing test never hangs in exec().
template <class Dialog>
void whenModal(std::function<void(Dialog&)> act)
{
    QTimer::singleShot(0, [act] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<Dialog*>(window);
            if (!dialog || !dialog->isVisible() || !dialog->isModal()) continue;
            act(*dialog);
            if (dialog->isVisible()) dialog->reject();
            return;
        }
        ADD_FAILURE() << "no modal dialog was shown";
    });
}

inline QStringList listedNames(const QListWidget& list)
{
    QStringList names;
    for (int row = 0; row < list.count(); ++row) names << list.item(row)->text();
    return names;
}

inline QListWidgetItem* itemNamed(const QListWidget& list, const QString& name)
{
    const auto found = list.findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

// A click on a listed name, as the user makes it (Ctrl adds to the selection).
inline void clickName(QListWidget& list, const QString& name, Qt::KeyboardModifiers modifiers = {})
{
    QListWidgetItem* item = itemNamed(list, name);
    ASSERT_NE(item, nullptr) << name.toStdString();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers, list.visualItemRect(item).center());
}

// Clicks the first name and Ctrl+clicks the others.
inline void selectNames(QListWidget& list, const QStringList& names)
{
    for (qsizetype i = 0; i < names.size(); ++i) clickName(list, names[i], i ? Qt::ControlModifier : Qt::NoModifier);
}
