// SPDX-License-Identifier: GPL-3.0-or-later
// A main window over a scripted platform and a temporary program folder
// holding small made-up dictionaries.
#pragma once

#include "app/form1.h"
#include "app/grid_area.h"
#include "core/palette.h"
#include "core/word_placement.h"
#include "tests/support/dictionary_writer.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scratch_folder.h"
#include "widgets/window_design.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <set>

namespace vortigo::test {

/// Qt's warnings, counted by the window tests' main() (gui_test_main.cpp).
extern int qtWarnings;

/// The colours of the grid and the score, as the player's screen shows them.
inline QColor qc(int colour)
{
    const std::map<int, QColor> seen = {{kBlack, QColor(0, 0, 0)},   {kBlue, QColor(0, 0, 128)},
                                                  {kGreen, QColor(0, 128, 0)}, {kRed, QColor(128, 0, 0)},
                                                  {kLightGreen, QColor(0, 255, 0)}, {kYellow, QColor(255, 255, 0)},
                                                  {kLightGrey, QColor(192, 192, 192)},
                                                  {kWhite, QColor(255, 255, 255)}};
    return seen.at(colour);
}
inline QColor back(const QWidget* w) { return w->palette().color(QPalette::Window); }
inline QColor fore(const QWidget* w) { return w->palette().color(QPalette::WindowText); }
inline QPoint middle(const QWidget* w) { return w->rect().center(); }

/// A control of the main window, found by its object name (the controls are the window's own).
template <typename T>
T* control(const QObject& window, const QString& name)
{
    T* found = window.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << "no control " << name.toStdString();
    return found;
}

/// What a screen reader reads as the object's name.
inline QString nameOf(QObject* object)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(QAccessible::Name) : QStringLiteral("(none)");
}

/// The cells of every word in list order, each cell once, with the index of
/// the lowest-numbered word it belongs to.
inline std::vector<std::pair<Cell, int>> wordCells(const GameState& s)
{
    std::vector<std::pair<Cell, int>> out;
    std::set<std::pair<int, int>> seen;
    for (int i = 0; i <= s.LastWordIndex; ++i)
        for (int k = 1; k <= static_cast<int>(s.WordList(i).size()); ++k) {
            const Cell c = letterCell(s, i, k);
            if (seen.insert({c.col, c.row}).second)
                out.push_back({c, i});
        }
    return out;
}

/// The cell the grid's keyboard ring is on.
inline Cell ring(Form1& f) { return static_cast<GridArea*>(f.clientArea())->focusCell(); }

/// Moves the ring to a cell with the arrows only, pressed where the focus is.
inline void walkTo(Form1& f, Cell to)
{
    for (Cell at = ring(f); at != to; at = ring(f)) {
        if (at.col != to.col)
            QTest::keyClick(QApplication::focusWidget(), at.col < to.col ? Qt::Key_Right : Qt::Key_Left);
        else
            QTest::keyClick(QApplication::focusWidget(), at.row < to.row ? Qt::Key_Down : Qt::Key_Up);
        ASSERT_NE(ring(f), at) << "the ring did not move";
    }
}

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeDictionary(folder / "SLESSICO.1", sampleWords('I'));
        writeDictionary(folder / "SLESSICO.2", sampleWords('E'));
        // Every window test also checks that Qt warned of nothing meanwhile.
        qtWarnings = 0;
    }

    void TearDown() override
    {
        form.reset();
        EXPECT_EQ(qtWarnings, 0) << "Qt warned";
        std::filesystem::current_path(std::filesystem::temp_directory_path());
    }

    /// Creates and loads the window with its client area at the given size,
    /// made the active window when asked, as the player's desktop does.
    Form1& open(int width = 680, int height = 620, bool active = false)
    {
        form = std::make_unique<Form1>(platform, folder);
        form->show();
        form->resize(width, height + (form->height() - form->clientArea()->height()));
        QApplication::processEvents();
        loaded = form->Form_Load();
        if (active) {
            form->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        }
        return *form;
    }
    Form1& openActive() { return open(680, 620, true); }

    /// Starts a game the way the F2 key does.
    void startGame() { form->dispatch([this] { form->MenuNuovo_Click(); }); }

    /// A key pressed where the focus is, as a real keyboard's keys go.
    static void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {})
    {
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClick(QApplication::focusWidget(), k, modifiers);
    }

    QRect cellBox(Cell c) const
    {
        const GameState& s = form->state();
        return QRect(s.MarginX + (c.col - 1) * s.CellSize, s.MarginY + (c.row - 1) * s.CellSize, s.CellSize, s.CellSize);
    }
    QPoint centre(Cell c) const { return cellBox(c).topLeft() + QPoint(form->state().CellSize / 2, form->state().CellSize / 2); }
    /// Just inside a cell's outline, where its paint shows.
    QColor paintOf(Cell c) const { return form->surface().image().pixelColor(cellBox(c).topLeft() + QPoint(3, 3)); }
    /// Every colour inside a cell's paint: the paint itself and its letter's ink.
    std::set<QRgb> coloursIn(Cell c) const
    {
        const QImage& img = form->surface().image();
        const QRect box = cellBox(c);
        std::set<QRgb> inside;
        for (int x = box.left() + 3; x <= box.right() - 3; ++x)
            for (int y = box.top() + 3; y <= box.bottom() - 3; ++y)
                inside.insert(img.pixel(x, y));
        return inside;
    }

    /// A filler cell of the current grid.
    Cell fillerCell() const
    {
        const GameState& s = form->state();
        for (int r = 1; r <= s.GridRows; ++r)
            for (int c = 1; c <= s.GridCols; ++c)
                if (s.CellMark(c, r) == 0)
                    return {c, r};
        ADD_FAILURE() << "no filler cell";
        return {1, 1};
    }

    /// A real left click on a cell of the grid.
    void clickCell(Cell c) { QTest::mouseClick(form->clientArea(), Qt::LeftButton, {}, centre(c)); }

    /// Closes every modal window (the high-score window) soon after it
    /// opens, counting how many were seen and whether the main window was
    /// disabled meanwhile.
    void closeModalWindows()
    {
        QObject::connect(&closer, &QTimer::timeout, [this] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                ++modalWindowsSeen;
                mainDisabledWhileModal = mainDisabledWhileModal && form && !form->isEnabled();
                w->close();
            }
        });
        closer.start(15);
    }

    TestFolder scratch{"vortigo-form1"};
    std::filesystem::path folder = scratch.path();
    FakePlatform platform;
    std::unique_ptr<Form1> form;
    bool loaded = false;
    QTimer closer;
    int modalWindowsSeen = 0;
    bool mainDisabledWhileModal = true;
};

}  // namespace vortigo::test
