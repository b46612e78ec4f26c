// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in player for the installed game. The game is not changed for it:
// Qt loads this as an input plugin when the test names it in
// QT_QPA_GENERIC_PLUGINS, and it plays through the same Qt events a player's
// mouse and keyboard make. It names the player, switches the sound off, on
// and off again, plays the letter under the keyboard ring of new games until
// one scores, then quits with Ctrl+F5 and closes the high-score table. It
// reports on stdout:
//   window maximized  how the main window opened (or "not maximized")
//   message <text>   every message box, answered with Enter (OK)
//   box <dx> <dy>    how far that box's centre lies from the screen's
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
#include <QScreen>
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
        // The game's boxes are modal: a key that opens one returns only once
        // it is closed, so a timer of their own answers them meanwhile.
        connect(&m_boxes, &QTimer::timeout, this, [this] { answerBox(); });
        m_boxes.start(30);
        // Play starts once the main window is on screen; a box of start-up
        // (a missing file) comes before it, or instead of it.
        connect(&m_start, &QTimer::timeout, this, [this] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* main = qobject_cast<QMainWindow*>(w); main && main->isVisible() && !m_window) {
                    m_window = main;
                    m_start.stop();
                    play();
                    return;
                }
            if (++m_startWaits > 1000)
                giveUp(QStringLiteral("no main window"));
        });
        m_start.start(30);
    }

private:
    void answerBox()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            report(QStringLiteral("message ") + box->text().replace(QLatin1Char('\n'), QLatin1Char(' ')));
            const QPoint off = box->frameGeometry().center() - box->screen()->availableGeometry().center();
            report(QStringLiteral("box %1 %2").arg(off.x()).arg(off.y()));
            QTest::keyClick(box, Qt::Key_Return);
        } else if (auto* table = qobject_cast<QDialog*>(modal)) {
            report(QStringLiteral("done"));
            for (QPushButton* ok : table->findChildren<QPushButton*>())
                if (ok->text() == QStringLiteral("&OK"))
                    QTest::mouseClick(ok, Qt::LeftButton);
        }
    }

    // Shortcuts work only in the active window; a closed box may leave none
    // active, as a player's click on the window would fix.
    void shortcut(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        m_window->activateWindow();
        if (!QTest::qWaitForWindowActive(m_window))
            giveUp(QStringLiteral("the window is not active"));
        QTest::keyClick(m_window, key, modifiers);
    }

    void play()
    {
        report(QStringLiteral("window ") + (m_window->isMaximized() ? "maximized" : "not maximized"));
        auto* name = withToolTip<QLineEdit>(m_window, QStringLiteral("Immetti il tuo nome"));
        QTest::mouseClick(name, Qt::LeftButton);
        QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(name, QStringLiteral("Collaudo"));
        QTest::keyClick(name, Qt::Key_Tab);  // leaving the box saves the name
        for (int i = 0; i < 3; ++i)  // off, on (its sound loads the sound module), off
            shortcut(Qt::Key_S, Qt::ControlModifier);

        // The ring starts each round on the top-left cell; a first letter misses with well under even odds.
        auto* score = withToolTip<QLabel>(m_window, QStringLiteral("Punti fatti"));
        for (int games = 0; score->text().toInt() <= 0; ++games) {
            if (games == 200)
                giveUp(QStringLiteral("no scoring letter in 200 games"));
            shortcut(Qt::Key_F2);  // a game in play asks first
            QTest::keyClick(m_window->findChild<QWidget*>(QStringLiteral("grid")), Qt::Key_Space);
        }
        report(QStringLiteral("score ") + score->text());
        shortcut(Qt::Key_F5, Qt::ControlModifier);
    }

    QTimer m_boxes;
    QTimer m_start;
    int m_startWaits = 0;
    QMainWindow* m_window = nullptr;
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
