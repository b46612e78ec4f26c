// SPDX-License-Identifier: GPL-3.0-or-later
#include "held_keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWindow>

#include <set>

namespace vortigo {

namespace {

bool actsOnPress(int key)
{
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

class HeldKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::ApplicationStateChange) {
            // A release made while another program had the keyboard never reaches us.
            if (QGuiApplication::applicationState() != Qt::ApplicationActive)
                m_down.clear();
            return false;
        }
        // Keys reach a window once, before it hands them to its widgets
        // (which may pass them on from child to parent, the same event again).
        if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !watched->isWindowType())
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!actsOnPress(key->key()))
            return false;
        const int code = key->nativeScanCode() != 0 ? static_cast<int>(key->nativeScanCode()) : key->key();
        if (type == QEvent::KeyRelease) {
            // X without detectable repeat sends a release before each repeat; Qt marks that pair.
            if (!key->isAutoRepeat())
                m_down.erase(code);
            return key->isAutoRepeat();
        }
        if (key->isAutoRepeat())
            return true;
        return !m_down.insert(code).second;  // already down: a repeat
    }

private:
    std::set<int> m_down;
};

}  // namespace

void makeHeldKeysOnePress()
{
    static HeldKeys* filter = nullptr;
    if (filter != nullptr || qApp == nullptr)
        return;
    filter = new HeldKeys(qApp);
    qApp->installEventFilter(filter);
}

}  // namespace vortigo
