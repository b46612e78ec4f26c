// SPDX-License-Identifier: GPL-3.0-or-later
// What the grid paints again: a click its cell, a found word its cells, a new
// round the old and new grids; the title screen holds no grid image at all.
// Whatever was painted bit by bit looks exactly as the round drawn afresh.
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

TEST_F(Form1Test, AClickRepaintsItsCellAFoundWordItsCellsAndTheTitleScreenHoldsNoGridImage)
{
    Form1& f = open();
    EXPECT_TRUE(f.surface().isPlain());
    EXPECT_EQ(f.clientArea()->grab().toImage().pixelColor(20, 200), qc(kWhite));

    QTest::keyClick(&f, Qt::Key_F2);
    const GameState& s = f.state();
    ASSERT_EQ(s.Round, 1);
    EXPECT_FALSE(f.surface().isPlain());
    QApplication::processEvents();
    PaintRecorder recorder(f.clientArea());

    // A letter of the first word: that cell is painted, and the cell the
    // keyboard ring leaves (where it stood since the round began), nothing else.
    const int length = static_cast<int>(s.WordList(0).size());
    const auto slack = [&](Cell c) { return QRegion(cellBox(c).adjusted(-s.CellSize / 2, -2, s.CellSize / 2, 2)); };
    const Cell first = letterCell(s, 0, 1);
    clickCell(first);
    QApplication::processEvents();
    EXPECT_FALSE(recorder.painted.isEmpty());
    EXPECT_TRUE((recorder.painted - slack(first) - slack({1, 1})).isEmpty()) << "painted beyond the cell";
    EXPECT_EQ(paintOf(first), qc(kRed));

    // The word's last letter: its cells turn yellow; nothing away from them is painted.
    for (int k = 2; k < length; ++k)
        clickCell(letterCell(s, 0, k));
    QApplication::processEvents();
    recorder.painted = QRegion();
    const Cell last = letterCell(s, 0, length);
    clickCell(last);
    QApplication::processEvents();
    ASSERT_TRUE(f.wordFound(0));
    QRegion word;
    for (int k = 1; k <= length; ++k)
        word += slack(letterCell(s, 0, k));
    EXPECT_FALSE(recorder.painted.isEmpty());
    EXPECT_TRUE((recorder.painted - word).isEmpty()) << "painted beyond the word";
    const QImage onScreen = f.clientArea()->grab().toImage();
    for (int k = 1; k <= length; ++k)
        EXPECT_EQ(onScreen.pixelColor(cellBox(letterCell(s, 0, k)).topLeft() + QPoint(3, 3)), qc(kYellow)) << k;

    // With a letter clicked once (red) and one clicked twice (white) besides.
    clickCell(letterCell(s, 2, 1));
    clickCell(letterCell(s, 3, 2));
    clickCell(letterCell(s, 3, 2));
    EXPECT_TRUE(drawnAfresh(f) == f.surface().image());
}

TEST_F(Form1Test, ANewRoundWipesAndRepaintsOnlyTheOldAndNewGridsAndLooksAsIfDrawnAfresh)
{
    Form1& f = open();
    GameState& s = f.state();
    const auto frame = [&s] {
        return QRect(s.MarginX - 3, s.MarginY - 3, s.CellSize * s.GridCols + 7, s.CellSize * s.GridRows + 7);
    };
    for (const int round : {1, 4, 2}) {
        // Rounds of other sizes one after the other, as a won round and a new game bring them.
        s.RoundStatus = kRoundWon;
        s.Round = static_cast<i16>(round - 1);
        const QRect before = round != 1 ? frame() : QRect();
        QApplication::processEvents();
        PaintRecorder recorder(f.clientArea());
        startGame();
        QApplication::processEvents();
        ASSERT_EQ(s.Round, round);
        if (round != 1) {
            const QRegion grids = QRegion(before.adjusted(-8, -8, 8, 8)) + QRegion(frame().adjusted(-8, -8, 8, 8));
            EXPECT_TRUE((recorder.painted - grids).isEmpty()) << "round " << round << " painted beyond the grids";
        }
        EXPECT_TRUE(drawnAfresh(f) == f.surface().image()) << "round " << round;
    }
}
