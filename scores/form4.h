// SPDX-License-Identifier: GPL-3.0-or-later
// The high-score window.
#pragma once

#include "core/clock_random.h"
#include "core/game_state.h"
#include "core/platform.h"
#include "scores/score_table.h"

#include <QCursor>
#include <QDialog>
#include <QPointer>
#include <QString>

#include <filesystem>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

namespace vortigo {

/// What the high-score window needs from the main window.
struct HighScoreContext {
    const GameState& state;          ///< read only: the result goes into the file, never into the game
    Platform& platform;
    QWidget* mainWindow;             ///< disabled while the window is open
    QString playerName;              ///< the player's name as the game holds it
    QCursor linkCursor;              ///< the hand held by Form1's Picture3
    std::filesystem::path folder;    ///< where vortigo.HIS lives (the program's folder)
    bool programEnding = false;      ///< shown on the way out: the program ends when it closes
    std::filesystem::path readFolder{};  ///< where the table is read when not from folder (the player has none yet)
};

/// Shows the table of the 50 best results and, for a result on rows 1 to 3,
/// the controls that publish it on the record server. Constructing the window
/// loads it (Form_Load): it centres itself, disables the main window and
/// builds the table, recording the game's result when RecordNewScore asks for
/// it. Closing it in any way enables the main window again.
class Form4 : public QDialog {
    Q_OBJECT

public:
    explicit Form4(HighScoreContext context, QWidget* parent = nullptr);
    ~Form4() override;

    // ---- handlers, by the game's names ----
    void Form_Load();
    void BuildScoreTable();
    void Command3d1_Click();
    void Label6_Click();
    void Form_MouseMove();
    void Label3_MouseMove();
    void Label5_MouseMove();
    void Text1_MouseMove();
    void Label6_MouseMove();

    /// The slots as the last BuildScoreTable left them.
    const ScoreTable& table() const { return m_table; }
    /// The last row holding the player's name with the current Score; 0 if none.
    int PlayerRow = 0;

    // ---- controls, public for the tests ----
    QLabel* Label1 = nullptr;   ///< the best player's name
    QLabel* Label2 = nullptr;   ///< "Tabella records"
    QLabel* Label3 = nullptr;   ///< "Note sul punteggio:"
    QLabel* Label4 = nullptr;   ///< "Mia E-Mail:"
    QLabel* Label5 = nullptr;   ///< how to publish a record
    QLabel* Label6 = nullptr;   ///< the link that publishes the record
    QLabel* Panel3d1 = nullptr; ///< "The best"
    QLabel* Picture1 = nullptr;
    QLabel* Picture2 = nullptr;
    QPushButton* Command3d1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QListWidget* List1 = nullptr;
    QFrame* Line1 = nullptr;
    QLineEdit* Text1 = nullptr;  ///< the note on the score
    QLineEdit* Text2 = nullptr;  ///< the player's e-mail address

    /// Every way of closing ends here (OK, Esc, the title bar's close button).
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void buildControls();
    void enableMainWindow();

    HighScoreContext m_context;
    QPointer<QWidget> m_mainWindow;
    ScoreTable m_table;
    ClockRandom m_random;
    bool m_mainWindowDisabled = false;
};

/// Loads the window, builds the table and shows it modally; returns when the
/// player has closed it, with the main window enabled again.
void showHighScores(const HighScoreContext& context);

}  // namespace vortigo
