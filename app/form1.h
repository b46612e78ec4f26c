// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: status strip, word list, title picture, menus, and the
// grid drawn on the client area. Handlers carry the game's names and stay
// thin; the rules they call live in core/ and the app rule files.
//
// Some game state lives in the controls, as players see it: the errors still
// allowed are Label7's caption, a word is found when its Label1(i) has a blue
// background, the level is the checked Menulev item, the player's name is
// Text1, the sound switch is MenuSuono's check mark.
#pragma once

#include "core/clock_random.h"
#include "core/game_state.h"
#include "core/platform.h"
#include "app/game_folders.h"
#include "app/image_surface.h"

#include <QCursor>
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

class Form1 : public QMainWindow {
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
    void Form_MouseDown(int button, int shift, double x, double y);
    void Form_MouseMove();
    void Picture1_MouseMove();
    void Picture2_MouseMove();
    void Label2_MouseMove();
    void Label4_MouseMove();
    void Label12_MouseMove();
    void Label2_MouseDown(int button, int shift);
    void Label7_MouseDown(int button, int shift);
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
    void PlaySound(const std::string& fileName);

    /// Runs an event's handler unless another handler is still running
    /// further up the stack (a modal box is open) or the program has ended.
    /// Every event from Qt reaches the handlers through here.
    void dispatch(const std::function<void()>& handler);

    GameState& state() { return m_state; }
    ImageSurface& surface() { return m_surface; }
    ClockRandom& random() { return m_random; }
    bool ended() const { return m_ended; }
    bool wordFound(int i) const;

    // ---- Controls, named as the game names them ----
    QLabel* Picture3 = nullptr;
    QGroupBox* Frame3d1 = nullptr;
    std::array<QLabel*, 20> Label1{};
    QTimer* Timer1 = nullptr;
    QLabel* Picture1 = nullptr;
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

    /// The grid's area: the window's client area below the menu bar.
    QWidget* clientArea() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void placeTitlePicture();
    void dockWordFrame();
    void applySettingsFile();
    void resetGame();
    void setUpRound();
    bool drawRoundWords();
    void abandonRoundSetUp();
    void completeWord(int word);
    void showHighScoresWindow();
    void endProgram();
    Answer ask(const std::string& text, Buttons buttons);
    void tell(const std::string& text);
    std::string playerNameLatin1() const;

    Platform& m_platform;
    std::filesystem::path m_folder;          // the delivered data, the working folder
    std::filesystem::path m_settingsFolder;  // vortigo.INI
    std::filesystem::path m_scoresFolder;    // vortigo.HIS
    GameState m_state;
    ImageSurface m_surface;
    ClockRandom m_random;
    GridArea* m_client = nullptr;
    QCursor m_hand;
    int m_handlerDepth = 0;
    bool m_ended = false;
    bool m_settingsWarned = false;
};

}  // namespace vortigo
