// SPDX-License-Identifier: GPL-3.0-or-later
#include "held_keys.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QWindow>

#include <algorithm>
#include <map>

namespace vortigo {

namespace {

bool actsOnPress(int key)
{
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

// A release can be lost: one made while a window is closing goes to no
// window of ours. A key whose last press came longer ago than the longest
// repeat delay a keyboard is set to is taken as up again.
constexpr qint64 kRepeatWithinMs = 1500;

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
        // With a screen reader on, Qt's bridge holds every key the window
        // gets, offers it to the reader, then posts a copy to the same
        // window. The copy of a key let through here passes as it is; a
        // copy of a key not seen before (the bridge looked first) is judged
        // like the key itself.
        int& copies = type == QEvent::KeyPress ? m_pressCopies[code] : m_releaseCopies[code];
        if (!event->spontaneous() && copies > 0) {
            --copies;
            return false;
        }
        const bool drop = type == QEvent::KeyPress ? pressIsRepeat(code, key->isAutoRepeat()) : releaseIsRepeat(code, key->isAutoRepeat());
        if (!drop && event->spontaneous())
            copies = std::min(copies + 1, 8);
        return drop;
    }

    bool releaseIsRepeat(int code, bool autoRepeat)
    {
        // X without detectable repeat sends a release before each repeat; Qt marks that pair.
        if (!autoRepeat)
            m_down.erase(code);
        return autoRepeat;
    }

    bool pressIsRepeat(int code, bool autoRepeat)
    {
        if (autoRepeat)
            return true;
        const qint64 now = m_clock.elapsed();
        const auto down = m_down.find(code);
        const bool repeat = down != m_down.end() && now - down->second < kRepeatWithinMs;
        m_down[code] = now;
        return repeat;
    }

private:
    std::map<int, qint64> m_down;  // keys pressed and not released, with the time of their last press or repeat
    std::map<int, int> m_pressCopies;    // presses let through whose copy the bridge may post
    std::map<int, int> m_releaseCopies;
    QElapsedTimer m_clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
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
