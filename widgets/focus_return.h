// SPDX-License-Identifier: GPL-3.0-or-later
// Focus goes back to where it was once a modal window or message box has
// closed. Left to the window system, it may not: a window disabled while a
// modal one is open forgets its focused control, and comes back with the
// first control of its tab chain focused (for the main window, the name box,
// where arrows and Space then edit the player's name).
#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace vortigo {

/// Remembers the focused control when made; gives the focus back to it when
/// destroyed, if it is still there to take it.
class FocusReturn {
public:
    FocusReturn() : m_widget(QApplication::focusWidget()) {}
    ~FocusReturn()
    {
        QWidget* w = m_widget.data();
        if (w == nullptr || !w->isVisible() || !w->isEnabled() || w->focusPolicy() == Qt::NoFocus)
            return;
        if (!w->window()->isActiveWindow())
            w->window()->activateWindow();
        w->setFocus(Qt::OtherFocusReason);
    }
    FocusReturn(const FocusReturn&) = delete;
    FocusReturn& operator=(const FocusReturn&) = delete;

private:
    QPointer<QWidget> m_widget;
};

}  // namespace vortigo
