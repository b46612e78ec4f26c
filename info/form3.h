// SPDX-License-Identifier: GPL-3.0-or-later
// The About window.
#pragma once

#include "core/platform.h"

#include <QCursor>
#include <QDialog>

#include <filesystem>

class QLabel;
class QPushButton;

namespace vortigo {

/// The icon, the heading "Informazioni", the maker's home page and mail links
/// and an OK button. Constructing it loads it, centred on the screen.
class Form3 : public QDialog {
    Q_OBJECT

public:
    /// dataFolder holds the credits file; empty means the current folder.
    Form3(Platform& platform, const QCursor& linkCursor, QWidget* parent = nullptr,
          std::filesystem::path dataFolder = {});

    // ---- handlers, by the game's names ----
    void Form_Load();
    void Command3d1_Click();
    void Label3_Click();
    void Label4_Click();
    void Form_MouseMove();
    void Label3_MouseMove();
    void Label4_MouseMove();
    /// The licence and credits link under the home page and mail links.
    void creditsLink_Click();

    // ---- controls, public for the tests ----
    QLabel* Picture1 = nullptr;  ///< the program's icon
    QLabel* Label5 = nullptr;    ///< "Informazioni"
    QPushButton* Command3d1 = nullptr;
    QLabel* Picture2 = nullptr;  ///< "Software Italiano"
    QLabel* Label3 = nullptr;    ///< the maker's home page
    QLabel* Label4 = nullptr;    ///< the maker's mail address
    QLabel* creditsLink = nullptr;  ///< "Licenza GPL e crediti"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void buildControls();

    Platform& m_platform;
    QCursor m_linkCursor;
    std::filesystem::path m_dataFolder;
};

/// Loads the About window, centred, and shows it modally until OK.
void showAbout(Platform& platform, const QCursor& linkCursor, const std::filesystem::path& dataFolder = {});

}  // namespace vortigo
