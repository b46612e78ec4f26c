// SPDX-License-Identifier: GPL-3.0-or-later
// The game object on its own: a round played through press() against a
// host that serves words from a list and records what it was asked to show.
#include "core/game.h"
#include "core/selection.h"
#include "core/word_placement.h"
#include "tests/support/fake_platform.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

using namespace vortigo;
using vortigo::test::FakePlatform;

namespace {

class RecordingHost : public WordSource, public SettingsStore, public GameView {
public:
    std::vector<std::string> words = {"PESCA", "MORSO", "BALENA", "CANTAR"};
    std::vector<Cell> cellsShown;
    std::vector<std::string> announcements;
    int highScoreWindows = 0;

    // The listed words first, then one letter repeated as long as asked.
    WordDraw drawWord(GameState& s, ClockRandom&, int length) override
    {
        const auto slot = static_cast<std::size_t>(s.WordsDrawn);
        const std::string w = slot < words.size() ? words[slot] : std::string(static_cast<std::size_t>(length), static_cast<char>('A' + slot));
        EXPECT_EQ(static_cast<int>(w.size()), length);
        s.WordList(s.WordsDrawn) = w;
        s.WordsDrawn = static_cast<i16>(s.WordsDrawn + 1);
        return WordDraw::Stored;
    }
    bool openDictionary(GameState&) override { return true; }
    void showHighScores() override { ++highScoreWindows; }
    void saveSettings(const Game&) override {}
    LayoutArea gridArea() const override { return {680, 620, 111, 49}; }
    void changed(unsigned) override {}
    void cellChanged(Cell cell) override { cellsShown.push_back(cell); }
    void announce(const std::string& text) override { announcements.push_back(text); }
};

struct Round {
    FakePlatform platform;
    RecordingHost host;
    Game game{platform, host, host, host};

    explicit Round(int level)
    {
        game.load();
        game.setLevel(level, true);
        game.newGame();
    }
    void press(Cell c)
    {
        const GameState& s = game.state();
        game.press(Button::Left, s.MarginX + (c.col - 0.5) * s.CellSize, s.MarginY + (c.row - 0.5) * s.CellSize);
    }
};

}  // namespace

TEST(Game, EachRoundHasItsGridWordsAndErrors)
{
    // Columns, rows, words and errors allowed of rounds 1 to 11, each reached by winning the one before.
    const std::array<std::array<int, 4>, 11> rounds = {{{7, 6, 4, 2}, {8, 7, 6, 2}, {9, 8, 8, 2}, {10, 8, 10, 2},
        {12, 9, 12, 2}, {12, 10, 13, 2}, {14, 11, 15, 3}, {15, 12, 16, 3}, {17, 13, 18, 3}, {18, 14, 20, 3}, {18, 14, 20, 3}}};
    Round r(0);
    GameState& s = r.game.state();
    for (int round = 1; round <= 11; ++round) {
        ASSERT_EQ(s.Round, round);
        EXPECT_EQ((std::array{int{s.GridCols}, int{s.GridRows}, s.LastWordIndex + 1, r.game.errorsLeft()}), rounds[round - 1])
            << "round " << round;
        s.RoundStatus = kRoundWon;
        r.game.newGame();
    }
    // The twenty words run from 5 to 10 letters, four of each length but the shortest and longest.
    std::string lengths;
    for (int i = 0; i < 20; ++i)
        lengths += std::to_string(s.WordList(i).size()) + " ";
    EXPECT_EQ(lengths, "5 5 6 6 6 6 7 7 7 7 8 8 8 8 9 9 9 9 10 10 ");
    // A new game after the twenty words lists its four alone.
    r.game.newGame();
    ASSERT_EQ(s.Round, 1);
    for (int i = 0; i < GameState::kMaxWords; ++i)
        EXPECT_EQ(r.game.wordShown(i), i < 4) << i;
}

TEST(Game, ARoundLastsItsCellsPlusTheLevelsBonus)
{
    // Round 1 has 42 cells; its clock starts 3 seconds in, and the first tick counts one more.
    const char* const firstTick[4] = {"Min.9 - Sec.38", "Min.1 - Sec.38", "Min.1 - Sec.30", "Min.1 - Sec.23"};
    for (int level = 0; level < 4; ++level) {
        Round r(level);
        r.game.tick();
        EXPECT_EQ(r.game.timeCaption(), firstTick[level]) << "level " << level;
    }
}

TEST(Game, AtMedioTheLastWordHidesAndScoresDouble)
{
    Round r(2);
    const GameState& s = r.game.state();
    ASSERT_EQ(s.RoundStatus, kRoundInPlay);
    EXPECT_EQ(r.game.wordCaption(3), "??????");
    EXPECT_EQ(r.game.wordCaption(2), "BALENA");
    EXPECT_EQ(r.game.errorsLeft(), 2);
    EXPECT_TRUE(r.game.clockRunning());

    // Letters the last word shares with an earlier word score for that word, at 50.
    int expected = 0;
    for (int k = 1; k <= 6; ++k) {
        const Cell c = letterCell(s, 3, k);
        bool earlier = false;
        for (int i = 0; i < 3; ++i)
            for (int j = 1; j <= static_cast<int>(s.WordList(i).size()); ++j)
                earlier = earlier || letterCell(s, i, j) == c;
        if (s.CellMark(c.col, c.row) == 1)
            expected += earlier ? 50 : 100;
        r.press(c);
    }
    expected += (42 - 3) * 6;
    EXPECT_EQ(s.Score, expected);
    EXPECT_TRUE(r.game.wordFound(3));
    EXPECT_EQ(r.game.wordCaption(3), "CANTAR");
    for (int k = 1; k <= 6; ++k)
        EXPECT_EQ(r.game.cellPaint(letterCell(s, 3, k)), CellPaint::Yellow);
    EXPECT_EQ(r.host.announcements, std::vector<std::string>{"Parola trovata: CANTAR, 234 punti di premio"});
}

TEST(Game, ALetterOfTwoWordsScoresOnce)
{
    Round r(1);
    GameState& s = r.game.state();
    // Two words laid across each other by hand, on a grid of Z fillers:
    // PESCA along row 3 from column 3 to the last, ASSAI down column 5 from
    // row 2 to the last; they meet on an S at (5, 3).
    s.LastWordIndex = 1;
    for (int row = 1; row <= s.GridRows; ++row)
        for (int col = 1; col <= s.GridCols; ++col) {
            s.CellMark(col, row) = 0;
            s.CellLetter(col, row) = 'Z';
        }
    s.WordList(0) = "PESCA";
    s.WordCol(0) = 2, s.WordRow(0) = 3, s.WordDX(0) = 1, s.WordDY(0) = 0;
    s.WordList(1) = "ASSAI";
    s.WordCol(1) = 5, s.WordRow(1) = 1, s.WordDX(1) = 0, s.WordDY(1) = 1;
    for (int i = 0; i <= 1; ++i)
        for (int k = 1; k <= 5; ++k) {
            const Cell c = letterCell(s, i, k);
            s.CellLetter(c.col, c.row) = s.WordList(i)[static_cast<std::size_t>(k - 1)];
            s.CellMark(c.col, c.row) = 1;
        }
    const Cell shared{5, 3};
    ASSERT_EQ(letterCell(s, 0, 3), shared);
    ASSERT_EQ(letterCell(s, 1, 2), shared);

    r.host.cellsShown.clear();
    r.press(shared);
    EXPECT_EQ(s.Score, 50);
    EXPECT_EQ(r.game.cellPaint(shared), CellPaint::Red);
    EXPECT_EQ(s.CellLit(shared.col, shared.row), kFalse);  // toggled twice
    EXPECT_EQ(r.host.cellsShown, (std::vector<Cell>{shared, shared}));

    // Every other letter of both; the last one of PESCA also completes it.
    for (int k : {1, 2, 4, 5})
        r.press(letterCell(s, 0, k));
    EXPECT_TRUE(r.game.wordFound(0));
    EXPECT_FALSE(r.game.wordFound(1));
    EXPECT_EQ(r.game.cellPaint(shared), CellPaint::Yellow);
    // Pressing the shared letter again repaints it for the unfound word only; no points.
    const i32 before = s.Score;
    r.press(shared);
    EXPECT_EQ(s.Score, before);
    EXPECT_EQ(r.game.cellPaint(shared), CellPaint::Red);

    // Two letters of ASSAI, the last on the last row, then a new game: its
    // grid, of the same size, starts unclicked to the last row and column.
    for (int k : {4, 5})
        r.press(letterCell(s, 1, k));
    r.game.newGame();
    ASSERT_EQ(std::tuple(s.Round, s.GridCols, s.GridRows), std::tuple(1, 7, 6));
    for (int row = 1; row <= 6; ++row)
        for (int col = 1; col <= 7; ++col)
            EXPECT_EQ(r.game.cellPaint({col, row}), CellPaint::AsFilled) << col << ", " << row;
}

TEST(Game, ARoundThatCannotBeBuiltStopsTheClock)
{
    Round r(1);
    ASSERT_TRUE(r.game.clockRunning());
    r.host.words = {"PESCA", "PESCA", "PESCA", "PESCA"};
    r.game.chooseDictionary(2);
    EXPECT_EQ(r.platform.lastMessage(), "Il dizionario scelto non ha abbastanza parole diverse di 5 lettere per questa "
                                        "manche.\nScegli un altro dizionario.");
    // Otherwise the time would run out on the title screen.
    EXPECT_FALSE(r.game.clockRunning());
    EXPECT_FALSE(r.game.gridShown());
    EXPECT_EQ(r.game.state().Round, 0);
}

TEST(Game, TheLastTwentySecondsAreSaidOnceARound)
{
    // Pibo, round 1: 42 cells + 60 seconds - 3 already used = 99 seconds.
    Round r(1);
    for (int left = 98; left >= 19; --left)
        r.game.tick();
    EXPECT_EQ(r.host.announcements, std::vector<std::string>{"Restano 19 secondi"});
    for (int left = 18; left >= 1; --left)
        r.game.tick();
    EXPECT_EQ(r.host.announcements, std::vector<std::string>{"Restano 19 secondi"});
    // The next round says it again.
    r.game.state().RoundStatus = kRoundWon;
    r.game.newGame();
    ASSERT_EQ(r.game.state().Round, 2);
    for (int n = 0; n < 500 && r.host.announcements.size() < 2; ++n)
        r.game.tick();
    EXPECT_EQ(r.host.announcements, (std::vector<std::string>{"Restano 19 secondi", "Restano 19 secondi"}));
    for (int n = 0; n < 30 && r.host.announcements.size() < 3; ++n)
        r.game.tick();
    EXPECT_EQ(r.host.announcements.back(), "Tempo scaduto");
}

TEST(Game, EachErrorAndTheLastAreSaid)
{
    Round r(1);
    const GameState& s = r.game.state();
    Cell filler{1, 1};
    while (s.CellMark(filler.col, filler.row) != 0)
        filler = filler.col < s.GridCols ? Cell{filler.col + 1, filler.row} : Cell{1, filler.row + 1};
    r.press(filler);
    r.press(filler);
    EXPECT_EQ(r.host.announcements, (std::vector<std::string>{"Errore: ne puoi commettere ancora 1", "Partita finita"}));
}
