// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in player for the installed game. The game is not changed for it:
// Qt loads this as an input plugin when the test names it in
// QT_QPA_GENERIC_PLUGINS, and it plays through the same Qt events a player's
// mouse and keyboard make. It names the player, switches the sound off, on
// and off again, plays the letter under the keyboard ring until one scores
// (a wrong letter means a new game), then quits with Ctrl+F5 and closes the
// high-score table. It reports on stdout:
//   message <text>   every message box, answered with Enter (OK)
//   score <n>        the points when the game was ended
//   done             the table was closed
// and ends the process with status 3 when it cannot go on.
#include <QApplication>
#include <QGenericPlugin>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

void report(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

[[noreturn]] void giveUp(const QString& why)
{
    report(QStringLiteral("failure ") + why);
    std::_Exit(3);
}

template <typename T>
T* withToolTip(QWidget* parent, const QString& toolTip)
{
    for (T* w : parent->findChildren<T*>())
        if (w->toolTip() == toolTip)
            return w;
    giveUp(QStringLiteral("no control ") + toolTip);
}

class Player : public QObject {
public:
    Player()
    {
        connect(&m_tick, &QTimer::timeout, this, [this] { step(); });
        m_tick.start(30);
    }

private:
    enum class Phase { FindWindow, Name, Play, Played, NewGame, Table, Closed };

    // An action that opens one of the game's boxes returns only when the box
    // is closed, so actions run from a timer of their own, and while one is
    // under way only a box it opened is handled: a sequence of keys is never
    // cut into.
    void step()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (m_busy > 0 && !modal)
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            report(QStringLiteral("message ") + box->text().replace(QLatin1Char('\n'), QLatin1Char(' ')));
            if (box->text().startsWith(QStringLiteral("Hai commesso un errore!")))
                m_phase = Phase::NewGame;  // a wrong letter: start over
            later([box] { QTest::keyClick(box, Qt::Key_Return); });
            return;
        }
        if (m_phase == Phase::FindWindow) {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* main = qobject_cast<QMainWindow*>(w); main && main->isVisible())
                    m_window = main;
            if (!m_window)
                return;
            m_phase = Phase::Name;
        }
        // Shortcuts work only in the active window; a closed box may leave
        // none active, as a player's click on the window would fix.
        if (m_phase < Phase::Table && QApplication::activeWindow() != m_window) {
            m_window->activateWindow();
            return;
        }
        auto* score = withToolTip<QLabel>(m_window, QStringLiteral("Punti fatti"));
        switch (m_phase) {
        case Phase::Name:
            m_phase = Phase::Play;
            later([this, name = withToolTip<QLineEdit>(m_window, QStringLiteral("Immetti il tuo nome"))] {
                QTest::mouseClick(name, Qt::LeftButton);
                QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(name, QStringLiteral("Collaudo"));
                QTest::keyClick(name, Qt::Key_Tab);  // leaving the box saves the name
                for (int i = 0; i < 3; ++i)  // off, on (its sound loads the sound module), off
                    QTest::keyClick(m_window, Qt::Key_S, Qt::ControlModifier);
                QTest::keyClick(m_window, Qt::Key_F2);
            });
            return;
        case Phase::Play:  // the letter under the ring, which each round puts on the top-left cell
            if (++m_games > 200)  // a first letter misses with well under even odds
                giveUp(QStringLiteral("no scoring letter in 200 games"));
            m_phase = Phase::Played;
            later([grid = m_window->centralWidget()] { QTest::keyClick(grid, Qt::Key_Space); });
            return;
        case Phase::Played:
            if (score->text().toInt() > 0) {
                report(QStringLiteral("score ") + score->text());
                m_phase = Phase::Table;
                later([this] { QTest::keyClick(m_window, Qt::Key_F5, Qt::ControlModifier); });
            }
            return;
        case Phase::NewGame:
            m_phase = Phase::Play;
            later([this] { QTest::keyClick(m_window, Qt::Key_F2); });
            return;
        case Phase::Table:
            if (auto* table = qobject_cast<QDialog*>(modal)) {
                m_phase = Phase::Closed;
                report(QStringLiteral("done"));
                for (QPushButton* ok : table->findChildren<QPushButton*>())
                    if (ok->text() == QStringLiteral("&OK"))
                        later([ok] { QTest::mouseClick(ok, Qt::LeftButton); });
            }
            return;
        default:
            return;
        }
    }

    template <typename F>
    void later(F action)
    {
        ++m_busy;
        QTimer::singleShot(0, this, [this, action] {
            action();
            --m_busy;
        });
    }

    QTimer m_tick;
    Phase m_phase = Phase::FindWindow;
    QMainWindow* m_window = nullptr;
    int m_games = 0;
    int m_busy = 0;  // actions under way, one inside the other when a box is open
};

class PlayerPlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "player_plugin.json")

public:
    QObject* create(const QString& key, const QString&) override
    {
        return key.compare(QStringLiteral("vortigoplayer"), Qt::CaseInsensitive) == 0 ? new Player : nullptr;
    }
};

}  // namespace

#include "player_plugin.moc"
