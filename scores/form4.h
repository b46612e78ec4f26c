// The high-score window.
#pragma once

#include "core/game_state.h"
#include "core/platform.h"

#include <QCursor>
#include <QDialog>
#include <QString>

#include <filesystem>

class QWidget;

namespace vortigo {

/// What the high-score window needs from the main window.
struct HighScoreContext {
    GameState& state;
    Platform& platform;
    QWidget* mainWindow;             ///< disabled while the window is open
    QString playerName;              ///< the text of Form1's Text1
    QCursor linkCursor;              ///< the hand held by Form1's Picture3
    std::filesystem::path folder;    ///< where vortigo.HIS lives (the program's folder)
};

class Form4 : public QDialog {
public:
    explicit Form4(HighScoreContext context, QWidget* parent = nullptr);
};

/// Loads the window, builds the table and shows it modally; returns when the
/// player has closed it, with the main window enabled again.
void showHighScores(const HighScoreContext& context);

}  // namespace vortigo
