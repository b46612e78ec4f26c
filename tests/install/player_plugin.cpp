// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in player for the installed game. The game is not changed for it:
// Qt loads this as an input plugin when the test names it in
// QT_QPA_GENERIC_PLUGINS, and it plays through the same Qt events a player's
// keyboard and mouse make. It names the player, switches the sound off, on
// and off again, chooses the level Allenamento from the menu, clicks a letter
// in the middle of the grid until a click scores (a wrong letter means a new
// game), then quits with Ctrl+F5 and closes the high-score table. It reports on stdout:
//   message <text>   every message box, answered with OK
//   score <n>        the points when the game was ended
//   table <row>      the first row of the high-score table
//   done             the table was closed
// and ends the process with status 3 when it cannot go on.
#include <QApplication>
#include <QComboBox>
#include <QGenericPlugin>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

constexpr char kPlayerName[] = "Collaudo";
constexpr int kGamesAllowed = 200;  // a first click misses with well under even odds
const QRgb kGridFrame = qRgb(128, 0, 0);

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
T* childWithToolTip(QWidget* parent, const QString& toolTip)
{
    for (T* w : parent->findChildren<T*>())
        if (w->toolTip() == toolTip)
            return w;
    return nullptr;
}

QPushButton* buttonNamed(QWidget* parent, const QString& text)
{
    for (QPushButton* b : parent->findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

// The points shown in the strip, separators and all ("1.250", "-1.000").
std::optional<long> shownNumber(const QLabel* label)
{
    QString digits;
    for (QChar c : label->text())
        if (c.isDigit() || (c == QLatin1Char('-') && digits.isEmpty()))
            digits += c;
    bool ok = false;
    const long value = digits.toLong(&ok);
    return ok ? std::optional<long>(value) : std::nullopt;
}

// The grid's frame: the rows and columns that hold a long run of its colour.
std::optional<QRect> gridFrame(QWidget* area)
{
    const QImage image = area->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int longRun = 40;
    int top = -1, bottom = -1, left = -1, right = -1;
    for (int y = 0; y < image.height(); ++y) {
        int run = 0;
        for (int x = 0; x < image.width(); ++x) {
            run = (image.pixel(x, y) | 0xff000000) == kGridFrame ? run + 1 : 0;
            if (run == longRun) {
                if (top < 0)
                    top = y;
                bottom = y;
                break;
            }
        }
    }
    for (int x = 0; x < image.width(); ++x) {
        int run = 0;
        for (int y = 0; y < image.height(); ++y) {
            run = (image.pixel(x, y) | 0xff000000) == kGridFrame ? run + 1 : 0;
            if (run == longRun) {
                if (left < 0)
                    left = x;
                right = x;
                break;
            }
        }
    }
    if (top < 0 || left < 0 || bottom - top < longRun || right - left < longRun)
        return std::nullopt;
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

class Player : public QObject {
public:
    Player()
    {
        m_tick.setInterval(30);
        connect(&m_tick, &QTimer::timeout, this, [this] { step(); });
        m_tick.start();
    }

private:
    enum class Phase { FindWindow, Name, Sound, OpenOptions, OpenLevels, ChooseLevel, Play, Clicked, NewGame, Quit, Table, Closed };

    // Every step is reported, so a run that stops shows where.
    void go(Phase next)
    {
        static const char* const kNames[] = {"find-window", "name", "sound", "open-options", "open-levels",
                                             "choose-level", "play", "clicked", "new-game", "quit", "table", "closed"};
        m_phase = next;
        report(QStringLiteral("step ") + QString::fromLatin1(kNames[static_cast<int>(next)]));
    }

    // Runs on every tick and reads the state it finds. Actions run from a
    // timer of their own, since an action that opens one of the game's boxes
    // returns only when the box is closed, and a timer does not fire again
    // while its own handler runs. While an action is under way only a box
    // it opened is handled, so a sequence of keys is never cut into.
    void step()
    {
        if (m_busy > 0 && !QApplication::activeModalWidget())
            return;
        act();
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

    void act()
    {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            answer(box);
            return;
        }
        if (m_phase == Phase::FindWindow) {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* main = qobject_cast<QMainWindow*>(w); main && main->isVisible())
                    m_window = main;
            if (!m_window)
                return;
            m_window->activateWindow();
            if (QApplication::activeWindow() != m_window)
                return;
            go(Phase::Name);
            return;
        }
        // Keys reach the menus only in the active window; a closed box may
        // leave none active, as a player's click on the window would fix.
        if (m_phase != Phase::Table && m_phase != Phase::Closed && QApplication::activeWindow() != m_window &&
            !QApplication::activePopupWidget()) {
            m_window->activateWindow();
            return;
        }
        switch (m_phase) {
        case Phase::Name: {
            auto* name = childWithToolTip<QLineEdit>(m_window, QStringLiteral("Immetti il tuo nome"));
            if (!name)
                giveUp(QStringLiteral("no name box"));
            go(Phase::Sound);
            later([name] {
                QTest::mouseClick(name, Qt::LeftButton);
                QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(name, QString::fromLatin1(kPlayerName));
                QTest::keyClick(name, Qt::Key_Tab);  // leaving the box saves the name
            });
            return;
        }
        case Phase::Sound:
            go(Phase::OpenOptions);
            // Off, on (its sound loads the sound module) and off again.
            later([this] {
                for (int i = 0; i < 3; ++i)
                    QTest::keyClick(m_window, Qt::Key_S, Qt::ControlModifier);
            });
            return;
        case Phase::OpenOptions:
            go(Phase::OpenLevels);
            later([this] { QTest::keyClick(m_window, Qt::Key_O, Qt::AltModifier); });
            return;
        case Phase::OpenLevels:
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                go(Phase::ChooseLevel);
                later([menu] { QTest::keyClick(menu, Qt::Key_L); });
            }
            return;
        case Phase::ChooseLevel:
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                menu && menu->title() == QStringLiteral("&Livello di difficoltà")) {
                go(Phase::Play);
                later([menu] { QTest::keyClick(menu, Qt::Key_A); });  // "&Allenamento"
            }
            return;
        case Phase::Play:
            click();
            return;
        case Phase::Clicked:
            if (const auto points = shownNumber(scoreLabel()); points && *points > 0) {
                report(QStringLiteral("score %1").arg(*points));
                go(Phase::Quit);
            }
            return;
        case Phase::NewGame:
            go(Phase::Play);
            later([this] { QTest::keyClick(m_window, Qt::Key_F2); });
            return;
        case Phase::Quit:
            go(Phase::Table);
            later([this] { QTest::keyClick(m_window, Qt::Key_F5, Qt::ControlModifier); });
            return;
        case Phase::Table:
            if (auto* table = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                auto* list = table->findChild<QListWidget*>();
                QPushButton* ok = buttonNamed(table, QStringLiteral("&OK"));
                if (!list || list->count() < 2 || !ok)
                    giveUp(QStringLiteral("the high-score table has no rows or no OK"));
                report(QStringLiteral("table ") + list->item(1)->text());
                go(Phase::Closed);
                report(QStringLiteral("done"));
                later([ok] { QTest::mouseClick(ok, Qt::LeftButton); });
            }
            return;
        default:
            return;
        }
    }

    QLabel* scoreLabel()
    {
        auto* label = childWithToolTip<QLabel>(m_window, QStringLiteral("Punti fatti"));
        if (!label)
            giveUp(QStringLiteral("no score label"));
        return label;
    }

    // A new round shows 0 points and its grid; then one click in its middle.
    void click()
    {
        if (shownNumber(scoreLabel()).value_or(0) != 0)  // a new game shows no points yet
            return;
        QWidget* area = m_window->centralWidget();
        const std::optional<QRect> frame = gridFrame(area);
        if (!frame)
            return;
        if (++m_games > kGamesAllowed)
            giveUp(QStringLiteral("no scoring click in %1 games").arg(kGamesAllowed));
        // Round 1 is 7 x 6: the fourth column, third row, inside the frame.
        const QRect cells = frame->adjusted(3, 3, -3, -3);
        const QPoint cell(cells.left() + cells.width() * 7 / 14, cells.top() + cells.height() * 5 / 12);
        go(Phase::Clicked);
        later([area, cell] { QTest::mouseClick(area, Qt::LeftButton, Qt::NoModifier, cell); });
    }

    void answer(QMessageBox* box)
    {
        const QString text = box->text();
        report(QStringLiteral("message ") + QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')));
        if (text.startsWith(QStringLiteral("Hai commesso un errore!")))
            go(Phase::NewGame);  // a wrong letter: start over
        QPushButton* ok = buttonNamed(box, QStringLiteral("OK"));
        if (!ok)
            giveUp(QStringLiteral("a message without OK"));
        later([ok] { QTest::mouseClick(ok, Qt::LeftButton); });
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
