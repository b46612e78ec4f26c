// SPDX-License-Identifier: GPL-3.0-or-later
// The grid on screen: a click paints its cell, a found word its cells and a
// new round the old and new grids, and nothing else; whatever was painted
// bit by bit looks exactly as the round drawn afresh from the game.
#include "tests/app/form1_fixture.h"

#include "app/image_surface.h"
#include "core/round_drawing.h"

#include <QPaintEvent>

using namespace vortigo;
using namespace vortigo::test;

namespace {

// Collects the areas the client area is asked to paint.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* w) { w->installEventFilter(this); }
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

QImage drawnAfresh(Form1& f)
{
    ImageSurface fresh;
    fresh.resize(f.clientArea()->width(), f.clientArea()->height());
    drawRound(fresh, f.game());
    return fresh.image();
}

}  // namespace

TEST_F(Form1Test, RepaintsOnlyWhatChanged)
{
    Form1& f = open();
    EXPECT_TRUE(f.surface().isPlain());  // the title screen holds no grid image at all
    QTest::keyClick(&f, Qt::Key_F2);
    GameState& s = f.state();
    ASSERT_EQ(s.Round, 1);
    QApplication::processEvents();

    // The first word found letter by letter: each click paints its cell (and
    // the cell the keyboard ring leaves), the last one the word's cells.
    const int length = static_cast<int>(s.WordList(0).size());
    QRegion word;
    for (int k = 1; k <= length; ++k)
        word += cellBox(letterCell(s, 0, k)).adjusted(-s.CellSize / 2, -2, s.CellSize / 2, 2);
    for (int k = 1; k <= length; ++k) {
        PaintRecorder recorder(f.clientArea());
        clickCell(letterCell(s, 0, k));
        QApplication::processEvents();
        EXPECT_FALSE(recorder.painted.isEmpty());
        EXPECT_TRUE((recorder.painted - word - cellBox({1, 1})).isEmpty()) << "painted beyond the word at " << k;
    }
    ASSERT_TRUE(f.wordFound(0));
    // With a letter clicked once (red) and one clicked twice (white) besides.
    clickCell(letterCell(s, 2, 1));
    clickCell(letterCell(s, 3, 2));
    clickCell(letterCell(s, 3, 2));
    EXPECT_TRUE(drawnAfresh(f) == f.surface().image());
    // An arrow key moves the ring: the cell it leaves is painted again, without it.
    walkTo(f, {2, 2});
    QApplication::processEvents();
    {
        PaintRecorder recorder(f.clientArea());
        QTest::keyClick(f.clientArea(), Qt::Key_Right);
        QApplication::processEvents();
        ASSERT_EQ(ring(f), (Cell{3, 2}));
        EXPECT_TRUE(recorder.painted.contains(centre({2, 2})) && recorder.painted.contains(centre({3, 2})));
    }

    const auto frame = [&s] {
        return QRect(s.MarginX - 3, s.MarginY - 3, s.CellSize * s.GridCols + 7, s.CellSize * s.GridRows + 7);
    };
    for (const int round : {4, 2}) {
        // Rounds of other sizes one after the other, as a won round and a new game bring them.
        s.RoundStatus = kRoundWon;
        s.Round = static_cast<i16>(round - 1);
        const QRegion grids = QRegion(frame().adjusted(-8, -8, 8, 8));
        QApplication::processEvents();
        PaintRecorder recorder(f.clientArea());
        startGame();
        QApplication::processEvents();
        ASSERT_EQ(s.Round, round);
        EXPECT_TRUE((recorder.painted - grids - frame().adjusted(-8, -8, 8, 8)).isEmpty()) << "round " << round;
        EXPECT_TRUE(drawnAfresh(f) == f.surface().image()) << "round " << round;
    }
}
