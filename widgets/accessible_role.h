// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader is told about controls that Qt would otherwise show
// as plain labels or panels: a picture that starts a game is a button, a
// label that opens a page is a link, a box of word labels is a list, a
// status value is a status item. A control with a press gets the press
// action, so a screen reader can use it without the mouse.
//
// A screen reader hears news it did not ask for (a word found, an error)
// through an announcer: a hidden notification that is shown with the news
// as its name, which screen readers speak whatever has the focus.
#pragma once

#include <QAccessible>
#include <QString>

#include <functional>

class QWidget;

namespace vortigo {

/// Gives the control this role, and the press action when press is set.
/// Meant for a window being built, before a screen reader has seen the
/// control. A list's items are its shown child controls.
void setAccessibleRole(QWidget* control, QAccessible::Role role, std::function<void()> press = {});

/// Sets the name a screen reader reads, only when it differs: every change
/// is an event a screen reader may read out.
void setAccessibleNameIfChanged(QWidget* control, const QString& name);

/// Hidden notification objects inside parent, for announce().
QWidget* makeAnnouncer(QWidget* parent);

/// Says the text through the announcer: one of its notifications is shown
/// afresh with the text as its name.
void announce(QWidget* announcer, const QString& text);

}  // namespace vortigo
