// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: status strip, word list, title picture, menus, and the
// grid drawn on the client area. It is a view of the game object (core/game.h):
// every handler, named as the game names it, turns its event into one call on
// the game, and every change the game reports is shown from the game's state.
// No control holds anything a rule reads back: the errors left, the found
// words, the level and the sound switch all live in the game, and the name
// box hands every edit to it.
#pragma once

#include "app/dictionary_file.h"
#include "app/image_surface.h"
#include "app/title_picture.h"
#include "core/clock_random.h"
#include "core/game.h"
#include "core/game_state.h"
#include "core/platform.h"
#include "app/game_folders.h"

#include <QCursor>
#include <QImage>
#include <QMainWindow>

#include <array>
#include <filesystem>
#include <functional>
#include <string>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;

namespace vortigo {

class GridArea;

class Form1 : public QMainWindow, private GameView, private SettingsStore {
public:
    /// The platform answers message boxes and so on; the folder holds the
    /// program's files (dictionaries, settings, scores, picture, sounds).
    Form1(Platform& platform, std::filesystem::path programFolder, QWidget* parent = nullptr);
    /// The same with the player's files kept apart from the delivered data
    /// (an installed copy): folders.data is the program's folder.
    Form1(Platform& platform, GameFolders folders, QWidget* parent = nullptr);
    ~Form1() override;

    // ---- Handlers, called by the window's events through dispatch() ----
    /// Start-up; false when the program has to end (a dictionary is missing).
    bool Form_Load();
    void MenuNuovo_Click();
    void Command3d1_Click();
    void Picture1_Click();
    void Form_MouseDown(Button button, Modifiers modifiers, double x, double y);
    /// Space or Enter on the grid: the ring's cell is played as a left click plays it.
    void Grid_KeyPress(Cell cell);
    void Form_MouseMove();
    void Picture1_MouseMove();
    void Picture2_MouseMove();
    void Label2_MouseMove();
    void Label4_MouseMove();
    void Label12_MouseMove();
    void Label2_MouseDown(Button button, Modifiers modifiers);
    void Label7_MouseDown(Button button, Modifiers modifiers);
    void Timer1_Timer();
    void MenuHi_Click();
    void menuEsci_Click();
    void Menulev_Click(int index);
    void Combo1_Click();
    void MenuSuono_Click();
    void Text1_LostFocus();
    void MenuAiuto_Click();
    void MenuMail_Click();
    void menuPHP_Click();
    void Label12_Click();
    void MenuInformazioni_Click();

    // ---- Private routines of the window, public for the tests ----
    void ShowScore(i32 amount);
    void SaveSettings();

    /// Runs an event's handler unless another handler is still running
    /// further up the stack (a modal box is open) or the program has ended.
    /// Every event from Qt reaches the handlers through here; a tick alone
    /// still counts while a box is open (timerTicked).
    void dispatch(const std::function<void()>& handler);

    const Game& game() const { return m_game; }
    GameState& state() { return m_game.state(); }
    ImageSurface& surface() { return m_surface; }
    bool ended() const { return m_game.ended(); }
    bool wordFound(int i) const { return m_game.wordFound(i); }

    /// The grid's area: the window's client area below the menu bar.
    QWidget* clientArea() const;
    /// The picture Picture1 shows (in the file's colours); null when the file
    /// could not be read and the box shows a text instead.
    const QImage& titlePicture() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // ---- Controls, named as the game names them (tests find them by these names) ----
    QLabel* Picture3 = nullptr;
    QGroupBox* Frame3d1 = nullptr;
    std::array<QLabel*, 20> Label1{};
    QTimer* Timer1 = nullptr;
    TitlePicture* Picture1 = nullptr;
    QWidget* Picture2 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command3d1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;

    QMenu* MenuFile = nullptr;
    QAction* MenuNuovo = nullptr;
    QAction* MenuHi = nullptr;
    QAction* MenuMeno = nullptr;
    QAction* menuEsci = nullptr;
    QMenu* MenuOpzioni = nullptr;
    QMenu* MenuLivello = nullptr;
    std::array<QAction*, 4> Menulev{};
    QAction* MenuSuono = nullptr;
    QMenu* MenuInfo = nullptr;
    QAction* MenuAiuto = nullptr;
    QAction* MenuMail = nullptr;
    QAction* menuPHP = nullptr;
    QAction* Meno2 = nullptr;
    QAction* MenuInformazioni = nullptr;

    // ---- Showing the game, and keeping its settings ----
    void showHighScores() override;
    void saveSettings(const Game&) override { SaveSettings(); }
    LayoutArea gridArea() const override;
    void changed(unsigned what) override;
    void cellChanged(Cell cell) override;
    void announce(const std::string& text) override;

    void timerTicked();
    void buildControls();
    void focusMoved(QWidget* now);
    void buildMenus();
    void fitStrip();
    void placeTitlePicture();
    void dockWordFrame();
    void applySettingsFile();
    void showStatus();
    void showWords();
    void showStage();
    void showSettings();
    void tell(const std::string& text);

    Platform& m_platform;
    std::filesystem::path m_folder;          // the delivered data, the working folder
    std::filesystem::path m_settingsFolder;  // vortigo.INI
    std::filesystem::path m_scoresFolder;    // vortigo.HIS
    Dictionaries m_dictionaries;
    Game m_game;
    ImageSurface m_surface;
    QWidget* m_area = nullptr;      // the client area: the grid and the controls beside it
    GridArea* m_client = nullptr;   // the grid, filling the client area
    QWidget* m_announcer = nullptr; // news for a screen reader
    QCursor m_hand;
    int m_handlerDepth = 0;
    bool m_settingsWarned = false;
    bool m_inNameBox = false;  // Text1 has the focus, or had it when a menu or another window took it
    bool m_quitting = false;   // the exit command runs: the program ends after the table
    QMetaObject::Connection m_focusWatch;
};

}  // namespace vortigo
