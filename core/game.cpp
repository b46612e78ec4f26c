// SPDX-License-Identifier: GPL-3.0-or-later
#include "game.h"

#include "core/grid_filling.h"
#include "core/score_format.h"
#include "core/sound_rules.h"
#include "core/selection.h"
#include "core/text_codec.h"

#include <algorithm>
#include <climits>

namespace vortigo {

namespace {

constexpr Modifiers kGestureKeys{.shift = true, .ctrl = true};  // exactly, with the right button

int clampedInt(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

}  // namespace

Game::Game(Platform& platform, WordSource& words, SettingsStore& settings, GameView& view)
    : m_platform(platform),
      m_words(words),
      m_settings(settings),
      m_view(view),
      m_random([&platform] { return platform.secondsSinceMidnight(); })
{
}

void Game::load()
{
    m_state.DictionaryIndex = 1;
    fillConstantTables(m_state);
}

bool Game::openDictionary()
{
    if (m_words.openDictionary(m_state))
        return true;
    endProgram();
    return false;
}

void Game::setLevel(int level, bool withTimeBonus)
{
    m_level = std::clamp(level, 0, 3);
    if (withTimeBonus)
        m_state.LevelTimeBonus = static_cast<i16>(kLevelTimeBonus[static_cast<std::size_t>(m_level)]);
    m_view.changed(kSettingsChanged);
}

// ---------------------------------------------------------------- rounds

void Game::newGame()
{
    GameState& s = m_state;
    switch (s.RoundStatus) {
    case kRoundInPlay:
        if (ask("Desideri veramente iniziare una nuova partita?", Buttons::OkCancel) == Answer::Cancel)
            return;
        offerScore();
        s.RoundStatus = kRoundWon;
        resetGame();
        break;
    case kRoundWon:
        // A won round (or no round yet): the game goes on with the next round.
        break;
    case kLostByErrors: {
        const Answer again = ask("Vuoi fare un'altra partitina?", Buttons::OkCancel);
        offerScore();
        if (again == Answer::Cancel) {
            endProgram();
            return;
        }
        resetGame();
        break;
    }
    case kLevelChanged:
    case kDictionaryChanged:
        tell(s.RoundStatus == kLevelChanged ? "Si inizia ora una nuova partita con il livello selezionato."
                                            : "Si inizia ora una nuova partita con il nuovo dizionario selezionato.");
        offerScore();
        resetGame();
        break;
    case kTimeOut:
        offerScore();
        resetGame();
        break;
    }
    if (m_ended)
        return;
    setUpRound();
}

void Game::offerScore()
{
    // The high-score window enters the score when it is built.
    m_state.RecordNewScore = kTrue;
    if (m_state.Score > 0)
        m_view.showHighScores();
}

void Game::resetGame()
{
    m_state.Round = 0;
    m_state.Score = 0;
    ShowScore(-9999);
}

void Game::setUpRound()
{
    GameState& s = m_state;
    // What the strip shows now, shown again if the round cannot be built.
    m_beforeSetUp = {m_roundShown, m_errorsLeft, m_playing};
    s.Round = static_cast<i16>(s.Round + 1);
    m_roundShown = s.Round;
    const int k = roundTableIndex(s.Round);
    m_errorsLeft = s.RoundErrors(k);
    s.GridCols = s.RoundCols(k);
    s.GridRows = s.RoundRows(k);
    s.LastWordIndex = s.RoundWords(k);
    m_view.changed(kStatusChanged);

    m_platform.setWindowPointer(Pointer::Hourglass);
    m_playing = true;
    m_view.changed(kStageChanged);

    s.WordsDrawn = 0;
    s.RoundStatus = kRoundInPlay;
    // Set once: a set-up that succeeds opens no box, so no second is counted before it ends.
    s.ElapsedSeconds = static_cast<i16>(3 * s.Round);

    if (!drawRoundWords()) {
        abandonRoundSetUp();
        return;
    }
    for (int i = s.LastWordIndex + 1; i < GameState::kMaxWords; ++i)
        m_wordShown[static_cast<std::size_t>(i)] = false;
    m_view.changed(kWordsChanged);

    layOutGrid(s, m_view.gridArea());
    const bool placed = PlaceWords(s, m_random);
    m_platform.setWindowPointer(Pointer::Arrow);
    if (!placed) {
        tell("Non riesco a disporre le parole di questa manche nella griglia.");
        abandonRoundSetUp();
        return;
    }
    fillGridLetters(s, m_random);
    m_showWords = m_playerName == kShowWordsName;
    for (int r = 1; r <= s.GridRows; ++r)
        for (int c = 1; c <= s.GridCols; ++c)
            m_paint(c, r) = CellPaint::AsFilled;
    m_gridShown = true;
    m_lastSecondsSaid = false;
    m_view.changed(kGridChanged);

    m_clockRunning = true;
    m_view.changed(kClockChanged);
}

bool Game::drawRoundWords()
{
    // A dictionary that is short of distinct words of a length, or a draw that
    // keeps failing, must not spin forever: after this many tries for one
    // slot the round is given up with one message.
    constexpr int kTriesPerWord = 400;
    GameState& s = m_state;
    // Medio and Esperto hide the last word of the list until it is found.
    m_hiddenWord = m_level >= 2 ? s.LastWordIndex : -1;
    for (int i = 0; i <= s.LastWordIndex; ++i) {
        const int length = wordLengthForSlot(i);
        bool distinct = false;
        bool unreadable = false;
        for (int tries = 0; tries < kTriesPerWord && !distinct; ++tries) {
            s.WordsDrawn = static_cast<i16>(i);
            const WordDraw outcome = m_words.drawWord(s, m_random, length);
            if (outcome == WordDraw::Missing)
                return false;  // the player has been told
            if (outcome != WordDraw::Stored) {
                // A healthy dictionary never fails a read: its header points at words that are there.
                unreadable = true;
                continue;
            }
            distinct = true;
            for (int j = 0; j < i && distinct; ++j)
                distinct = s.WordList(j) != s.WordList(i);
        }
        if (!distinct) {
            m_view.changed(kWordsChanged);
            const std::string letters = std::to_string(length) + " lettere";
            if (unreadable)
                tell("Il file di vocabolario SLESSICO." + std::to_string(s.DictionaryIndex)
                     + " è danneggiato: non riesco a leggerne le parole di " + letters
                     + ".\nScegli un altro dizionario o reinstalla il gioco.");
            else
                tell("Il dizionario scelto non ha abbastanza parole diverse di " + letters
                     + " per questa manche.\nScegli un altro dizionario.");
            return false;
        }
        m_wordFound[static_cast<std::size_t>(i)] = false;
        m_wordShown[static_cast<std::size_t>(i)] = true;
    }
    return true;
}

void Game::abandonRoundSetUp()
{
    // No round is in play: clicks are ignored and the clock stops until the
    // player asks for a new game (perhaps with another dictionary). The strip
    // shows what it showed before, not a round that never started: from the
    // title screen, that is the title screen.
    m_state.RoundStatus = kRoundWon;
    m_state.Round = static_cast<i16>(m_state.Round - 1);
    m_clockRunning = false;
    m_platform.setWindowPointer(Pointer::Arrow);
    m_gridShown = false;
    m_roundShown = m_beforeSetUp.roundShown;
    m_errorsLeft = m_beforeSetUp.errorsLeft;
    m_playing = m_beforeSetUp.playing;
    m_wordShown.fill(false);
    m_view.changed(kClockChanged | kWordsChanged | kGridChanged | kStatusChanged | kStageChanged);
}

std::string Game::wordCaption(int i) const
{
    const std::string& word = m_state.WordList(i);
    if (i == m_hiddenWord && !wordFound(i))
        return std::string(word.size(), '?');
    return word;
}

// ---------------------------------------------------------------- play

void Game::paint(Cell cell, CellPaint look)
{
    m_paint(cell.col, cell.row) = look;
    m_view.cellChanged(cell);
}

void Game::press(Button button, double x, double y)
{
    if (m_state.RoundStatus == kRoundWon)
        return;
    const std::optional<Cell> hit = cellFromPointer(m_state, x, y);
    if (!hit || button != Button::Left)
        miss();
    else
        playCell(*hit);
}

void Game::selectCell(Cell cell)
{
    if (m_state.RoundStatus == kRoundWon)
        return;
    if (cell.col < 1 || cell.col > m_state.GridCols || cell.row < 1 || cell.row > m_state.GridRows)
        miss();
    else
        playCell(cell);
}

void Game::miss()
{
    m_platform.setScreenPointer(Pointer::Default);
    PlaySound("COLLAPSE.WAV");
}

void Game::playCell(Cell cell)
{
    GameState& s = m_state;
    // The paint of this press is chosen once, before any toggle: a letter
    // shared by two unfound words gets the same paint twice.
    const CellPaint look = s.CellLit(cell.col, cell.row) != kFalse ? CellPaint::White : CellPaint::Red;
    i32 points = 0;

    if (s.CellMark(cell.col, cell.row) > 0) {
        PlaySound("SND0002.WAV");
        for (int i = 0; i <= s.LastWordIndex; ++i) {
            const int length = static_cast<int>(s.WordList(i).size());
            for (int k = 1; k <= length; ++k) {
                if (letterCell(s, i, k) != cell)
                    continue;
                points = 0;
                if (wordFound(i))
                    continue;
                paint(cell, look);
                s.CellLit(cell.col, cell.row) = static_cast<i16>(~s.CellLit(cell.col, cell.row));
                if (s.CellMark(cell.col, cell.row) == 1)
                    points = (i == s.LastWordIndex && m_level != 0) ? 100 : 50;
                if (points != 0) {
                    ShowScore(points);
                    points = 0;
                }
                s.CellMark(cell.col, cell.row) = 2;
                if (wordComplete(s, i))
                    completeWord(i);
            }
        }
    } else {
        points = -1000;
        m_errorsLeft = clampedInt(static_cast<long long>(m_errorsLeft) - 1);
        m_view.changed(kStatusChanged);
        if (m_errorsLeft == 0) {
            PlaySound("perdi.WAV");
            m_view.announce("Partita finita");
            tell("Hai commesso un'altro errore! mi dispiace, la partita è finita.");
            s.RoundStatus = kLostByErrors;
            newGame();
            return;
        }
        PlaySound("explode2.WAV");
        m_view.announce("Errore: ne puoi commettere ancora " + std::to_string(m_errorsLeft));
        tell("Hai commesso un errore! Ne puoi commettere ancora " + std::to_string(m_errorsLeft));
    }

    if (points < 0)
        ShowScore(points);
    for (int i = 0; i <= s.LastWordIndex; ++i)
        if (!wordFound(i))
            return;
    PlaySound("VINCI.WAV");
    const std::string next = "Complimenti! Preparati per la manche numero " + std::to_string(s.Round + 1);
    m_view.announce(next);
    tell(next);
    s.RoundStatus = kRoundWon;
    newGame();
}

void Game::completeWord(int i)
{
    GameState& s = m_state;
    const int length = static_cast<int>(s.WordList(i).size());
    for (int k = 1; k <= length; ++k)
        paint(letterCell(s, i, k), CellPaint::Yellow);
    const int bonus = wordBonus(s, i);
    m_wordFound[static_cast<std::size_t>(i)] = true;
    m_view.changed(kWordsChanged);
    m_view.announce("Parola trovata: " + latin1ToUtf8(s.WordList(i)) + ", " + std::to_string(bonus) + " punti di premio");
    ShowScore(bonus);
}

void Game::ShowScore(i32 amount)
{
    const long long sum = static_cast<long long>(m_state.Score) + amount;
    m_state.Score = static_cast<i32>(std::clamp<long long>(sum, INT32_MIN, INT32_MAX));
    if (amount == -9999)
        m_state.Score = 0;
    m_scoreShown = m_state.Score;
    m_scoreCaption = formatScore(m_state.Score, m_platform.groupSeparator());
    m_view.changed(kStatusChanged);
}

void Game::tick()
{
    if (countSecond())
        timeUp();
}

bool Game::countSecond()
{
    GameState& s = m_state;
    if (s.ElapsedSeconds < 32767)
        s.ElapsedSeconds = static_cast<i16>(s.ElapsedSeconds + 1);
    const int left = secondsLeft(s.GridCols, s.GridRows, s.ElapsedSeconds, s.LevelTimeBonus);
    const CountdownView view = countdownView(left);
    m_timeCaption = view.caption;
    if (view.colours)
        m_timeColours = view.colours;
    m_view.changed(kStatusChanged);
    // The blink of the last seconds is said once, for a player who cannot see it.
    if (view.colours && !view.timeUp && !m_lastSecondsSaid) {
        m_lastSecondsSaid = true;
        m_view.announce("Restano " + std::to_string(left) + " secondi");
    }
    return view.timeUp;
}

void Game::timeUp()
{
    GameState& s = m_state;
    m_view.announce("Tempo scaduto");
    if (ask("Mi dispiace il tempo è scaduto. Vuoi fare un'altra partita?", Buttons::OkCancel) == Answer::Cancel) {
        endProgram();
        return;
    }
    s.RoundStatus = kTimeOut;
    newGame();
}

int Game::secondsLeftNow() const
{
    return secondsLeft(m_state.GridCols, m_state.GridRows, m_state.ElapsedSeconds, m_state.LevelTimeBonus);
}

void Game::timeLabelPressed(Button button, Modifiers modifiers)
{
    if (button == Button::Right && modifiers == kGestureKeys) {
        m_clockRunning = !m_clockRunning;
        m_view.changed(kClockChanged);
    }
}

void Game::errorsLabelPressed(Button button, Modifiers modifiers)
{
    if (button == Button::Right && modifiers == kGestureKeys) {
        m_errorsLeft = clampedInt(static_cast<long long>(m_errorsLeft) + 1);
        m_view.changed(kStatusChanged);
    }
}

// ---------------------------------------------------------------- menus

void Game::chooseLevel(int level)
{
    const i16 before = m_state.LevelTimeBonus;
    setLevel(level, true);
    if (m_state.LevelTimeBonus == before)
        return;
    m_settings.saveSettings(*this);
    m_state.RoundStatus = kLevelChanged;
    newGame();
}

void Game::chooseDictionary(int number)
{
    if (number == m_state.DictionaryIndex)
        return;
    m_state.DictionaryIndex = static_cast<i16>(number);
    m_state.RoundStatus = kDictionaryChanged;
    if (openDictionary())
        newGame();
}

void Game::showHighScoreTable()
{
    m_state.RecordNewScore = kFalse;
    m_view.showHighScores();
}

void Game::quit()
{
    offerScore();
    endProgram();
}

void Game::toggleSound()
{
    m_soundOn = !m_soundOn;
    m_view.changed(kSettingsChanged);
    PlaySound("SOUND2.wav");
    m_settings.saveSettings(*this);
}

void Game::endProgram()
{
    m_ended = true;
    m_clockRunning = false;
    m_view.changed(kClockChanged);
    m_platform.endProgram();
}

void Game::PlaySound(const std::string& fileName)
{
    vortigo::PlaySound(m_platform, m_soundOn, fileName);
}

Answer Game::ask(const std::string& text, Buttons buttons)
{
    return m_platform.messageBox(text, buttons);
}

void Game::tell(const std::string& text)
{
    m_platform.messageBox(text, Buttons::Ok);
}

}  // namespace vortigo
