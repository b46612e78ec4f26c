// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard_link.h"

#include "widgets/accessible_role.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>

namespace vortigo {

namespace {

class LinkKeys : public QObject {
public:
    LinkKeys(QLabel* label, std::function<void()> activate) : QObject(label), m_activate(std::move(activate)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A label being destroyed still gets its focus-out, when it is no
        // longer a label: leave it alone.
        auto* label = qobject_cast<QLabel*>(watched);
        if (!label)
            return false;
        switch (event->type()) {
        case QEvent::FocusIn:
            label->setFrameStyle(QFrame::Box | QFrame::Plain);
            break;
        case QEvent::FocusOut:
            label->setFrameStyle(QFrame::NoFrame);
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
                if (m_activate)
                    m_activate();
                return true;
            }
            break;
        }
        default:
            break;
        }
        return false;
    }

private:
    std::function<void()> m_activate;
};

}  // namespace

void makeKeyboardLink(QLabel* label, std::function<void()> activate)
{
    label->setFocusPolicy(Qt::TabFocus);
    // A screen reader finds a link it can press, not a label.
    setAccessibleRole(label, QAccessible::Link, activate);
    label->installEventFilter(new LinkKeys(label, std::move(activate)));
}

}  // namespace vortigo
