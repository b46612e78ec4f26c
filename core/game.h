// SPDX-License-Identifier: GPL-3.0-or-later
// The one truth of the game in play: the record (GameState) plus everything
// the player can see change during a round, and the rules that change it.
//
// The main window keeps the handlers' names as its entry points and turns
// each event into one call here; mouse, keyboard and the accessibility tree
// all read this object, and the window only shows it. Nothing here knows
// about widgets: words come from a WordSource (the dictionary file), the
// settings are written through a SettingsStore, what changed is shown by a
// GameView, and message boxes, sounds and pointers go through Platform.
#pragma once

#include "core/clock_random.h"
#include "core/countdown.h"
#include "core/game_state.h"
#include "core/grid_layout.h"
#include "core/platform.h"
#include "core/word_placement.h"
#include "core/word_source.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace vortigo {

/// How a cell of the grid looks now. A cell keeps the look of its last paint:
/// the red/white toggle of a clicked letter, or yellow once its word is found.
enum class CellPaint : std::uint8_t {
    AsFilled,  ///< as the grid was drawn: outline and a black (or show-words green) letter
    Red,       ///< red square, white letter: clicked, toggle on
    White,     ///< white square, black letter: clicked again, toggle off
    Yellow,    ///< yellow square, blue letter: part of a found word
};

/// The mouse button of a press.
enum class Button { Other, Left, Right, Middle };

/// The modifier keys held during a press.
struct Modifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
    friend bool operator==(Modifiers, Modifiers) = default;
};

/// What the view has to show again after a change; several may be or-ed.
enum Change : unsigned {
    kStatusChanged = 1,    ///< score, errors left, round number or time left
    kWordsChanged = 2,     ///< the word list: captions, found words, visibility
    kGridChanged = 4,      ///< the whole grid (a new round, or no grid at all)
    kStageChanged = 8,     ///< title picture or game: status labels, word frame
    kClockChanged = 16,    ///< the countdown started or stopped
    kSettingsChanged = 32, ///< level, sound switch
};

class Game;

/// Shows the game: the main window in the program. It only reads the game.
class GameView {
public:
    virtual ~GameView() = default;
    /// Shows what changed before the game goes on (a message may follow).
    virtual void changed(unsigned what) = 0;
    /// Shows the new look of one cell.
    virtual void cellChanged(Cell cell) = 0;
    /// Tells a screen reader something that happened (a word found, a round won).
    virtual void announce(const std::string& text) = 0;
    /// Shows the high-score window modally; it reads Score and RecordNewScore.
    virtual void showHighScores() = 0;
    /// The grid's free area, measured once the word frame is in place.
    virtual LayoutArea gridArea() const = 0;
};

/// Keeps level, player name and sound switch: the settings file in the program.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual void saveSettings(const Game& game) = 0;
};

class Game {
public:
    Game(Platform& platform, WordSource& words, SettingsStore& settings, GameView& view);

    // ---- What the window's handlers do ----
    /// Start-up's part: the constant tables and the first dictionary number.
    void load();
    /// Makes the dictionary of DictionaryIndex current; when it is missing
    /// the player has been told and the program ends.
    bool openDictionary();
    /// Starts a game or the next round, settling the previous one as RoundStatus says.
    void newGame();
    /// A mouse press at (x, y), in the pixels the layout was computed in.
    void press(Button button, double x, double y);
    /// The keyboard's press on a cell: what a left press on it does.
    void selectCell(Cell cell);
    /// One second of the countdown: countSecond, then timeUp when the time is up.
    void tick();
    /// Counts one second and shows the time left; true when the time is up.
    bool countSecond();
    /// The time is up: asks whether to play again, then starts a new game or ends.
    void timeUp();
    /// Adds to the score and shows it; -9999 resets it to 0.
    void ShowScore(i32 amount);
    /// The hidden gestures: a right press with exactly Shift + Ctrl.
    void timeLabelPressed(Button button, Modifiers modifiers);
    void errorsLabelPressed(Button button, Modifiers modifiers);
    /// The level menu: changing it starts a new game.
    void chooseLevel(int level);
    /// The dictionary chooser (1 Italiano, 2 English, 3 Latino).
    void chooseDictionary(int number);
    /// The high-score table from the menu: shown without entering the score.
    void showHighScoreTable();
    /// The exit command: the score is offered to the table, then the program ends.
    void quit();
    /// The sound switch: flipped, a sound when it comes on, saved.
    void toggleSound();
    /// Ends the program: the clock stops and no further event is handled.
    void endProgram();

    // ---- Settings, as the settings file and the menus set them ----
    void setLevel(int level, bool withTimeBonus);
    void setSoundOn(bool on) { m_soundOn = on; }
    void setPlayerName(std::string latin1) { m_playerName = std::move(latin1); }

    // ---- What the view shows ----
    GameState& state() { return m_state; }
    const GameState& state() const { return m_state; }
    int level() const { return m_level; }
    bool soundOn() const { return m_soundOn; }
    const std::string& playerName() const { return m_playerName; }
    bool ended() const { return m_ended; }
    /// True once a round has been set up: the status labels and the word frame show.
    bool playing() const { return m_playing; }
    /// True while the countdown runs.
    bool clockRunning() const { return m_clockRunning; }
    /// True while a grid is on show (from a round's set-up until one fails).
    bool gridShown() const { return m_gridShown; }
    /// Whether the word list shows the word in slot i, and whether it is found.
    bool wordShown(int i) const { return m_wordShown.at(static_cast<std::size_t>(i)); }
    bool wordFound(int i) const { return m_wordFound.at(static_cast<std::size_t>(i)); }
    /// Caption of the word in slot i (Latin-1): the word, or one "?" per letter while it hides.
    std::string wordCaption(int i) const;
    /// The look of a cell of the current grid.
    CellPaint cellPaint(Cell cell) const { return m_paint(cell.col, cell.row); }
    /// True when the round's grid shows its word letters in green (the show-words name).
    bool showWords() const { return m_showWords; }
    /// Errors still allowed before the game is lost.
    int errorsLeft() const { return m_errorsLeft; }
    /// The score as last shown, and its caption (digits, sign, separators); "0" before any game.
    i32 scoreShown() const { return m_scoreShown; }
    const std::string& scoreCaption() const { return m_scoreCaption; }
    /// The round number as last shown; 0 before any game.
    int roundShown() const { return m_roundShown; }
    /// The time-left caption as the last tick left it, and its colours (none: as designed).
    const std::string& timeCaption() const { return m_timeCaption; }
    std::optional<LabelColours> timeColours() const { return m_timeColours; }
    /// Seconds left in the round, as the next tick would compute them before counting.
    int secondsLeftNow() const;

private:
    /// Plays one of the game's sounds when the switch is on, then pauses as the sound asks.
    void PlaySound(const std::string& fileName);
    void offerScore();
    /// A press beside the grid or with another button: only the thud.
    void miss();
    void playCell(Cell cell);
    void resetGame();
    void setUpRound();
    bool drawRoundWords();
    void abandonRoundSetUp();
    void paint(Cell cell, CellPaint look);
    void completeWord(int word);
    Answer ask(const std::string& text, Buttons buttons);
    void tell(const std::string& text);

    Platform& m_platform;
    WordSource& m_words;
    SettingsStore& m_settings;
    GameView& m_view;
    GameState m_state;
    ClockRandom m_random;
    CellArray<CellPaint, GameState::kMaxCols, GameState::kMaxRows> m_paint;
    std::array<bool, GameState::kMaxWords> m_wordShown{};
    std::array<bool, GameState::kMaxWords> m_wordFound{};
    int m_hiddenWord = -1;  ///< the slot whose word hides behind "?" until found, or -1
    int m_level = 1;        ///< the checked level item, 0..3 (Pibo by design)
    bool m_soundOn = true;
    std::string m_playerName = "Brivo";
    int m_errorsLeft = 0;
    i32 m_scoreShown = 0;
    std::string m_scoreCaption = "0";
    int m_roundShown = 0;
    std::string m_timeCaption;
    std::optional<LabelColours> m_timeColours;
    bool m_playing = false;
    bool m_clockRunning = false;
    bool m_gridShown = false;
    bool m_lastSecondsSaid = false;  // the last 20 seconds of this round were announced
    bool m_showWords = false;
    bool m_ended = false;
    struct StripShown {
        int roundShown = 0;
        int errorsLeft = 0;
        bool playing = false;
    } m_beforeSetUp;  ///< the strip as it was when the last set-up began
};

}  // namespace vortigo
