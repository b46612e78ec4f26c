// SPDX-License-Identifier: GPL-3.0-or-later
// What a window says and where, by the name of its control: every tooltip,
// every caption a player reads (title, labels, buttons, frames, boxes,
// choices, menu entries with their shortcut keys) and every control's place.
// A text lost, changed or moved to another control shows as a difference.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMenu>
#include <QStringList>
#include <QWidget>

#include <map>
#include <string>

namespace vortigo::test {

inline std::map<std::string, std::string> toolTipsOf(const QWidget& window)
{
    std::map<std::string, std::string> tips;
    for (const QWidget* w : window.findChildren<QWidget*>())
        if (!w->toolTip().isEmpty())
            tips[w->objectName().toStdString()] += w->toolTip().toStdString();
    return tips;
}

/// A menu's entries in order, "-" for a separator, a submenu in braces, a
/// shortcut after a tab.
inline QString menuText(const QMenu& menu)
{
    QStringList entries;
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator())
            entries << "-";
        else if (action->menu())
            entries << action->text() + " {" + menuText(*action->menu()) + "}";
        else
            entries << action->text() +
                           (action->shortcut().isEmpty() ? QString() : "\t" + action->shortcut().toString());
    }
    return entries.join(" | ");
}

/// The window's title under "", its menu bar under "menu bar", then each
/// control's caption by its name.
inline std::map<std::string, std::string> captionsOf(const QWidget& window)
{
    std::map<std::string, std::string> captions = {{"", window.windowTitle().toStdString()}};
    const auto add = [&](const QObject* o, const QString& text) {
        if (!text.isEmpty())
            captions[o->objectName().toStdString()] += text.toStdString();
    };
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (const auto* label = qobject_cast<const QLabel*>(w))
            add(w, label->text());
        else if (const auto* button = qobject_cast<const QAbstractButton*>(w))
            add(w, button->text());
        else if (const auto* frame = qobject_cast<const QGroupBox*>(w))
            add(w, frame->title());
        else if (const auto* box = qobject_cast<const QLineEdit*>(w))
            add(w, box->text());
        else if (const auto* chooser = qobject_cast<const QComboBox*>(w); chooser && !chooser->isEditable()) {
            QStringList choices;
            for (int i = 0; i < chooser->count(); ++i)
                choices << chooser->itemText(i);
            add(w, choices.join(" / "));
        }
    }
    if (const auto* main = qobject_cast<const QMainWindow*>(&window)) {
        QStringList menus;
        for (const QAction* action : main->menuBar()->actions())
            menus << action->text() + " {" + menuText(*action->menu()) + "}";
        captions["menu bar"] = menus.join("; ").toStdString();
    }
    return captions;
}

/// Where each named control lies, in its parent, in twips at 96 dots per
/// inch (15 to the pixel), as "left, top, width, height".
inline std::map<std::string, std::string> placesOf(const QWidget& window)
{
    std::map<std::string, std::string> places;
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith("qt_") || w->isWindow())
            continue;
        const QRect g = w->geometry();
        places[w->objectName().toStdString()] = std::to_string(g.x() * 15) + ", " + std::to_string(g.y() * 15) + ", " +
                                                std::to_string(g.width() * 15) + ", " + std::to_string(g.height() * 15);
    }
    return places;
}

}  // namespace vortigo::test
