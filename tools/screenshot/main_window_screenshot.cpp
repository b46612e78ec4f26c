// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the windows offscreen for the documentation: the main window at
// 1024 x 768 on its title screen and in round 3 with two words found and a
// few letters clicked, the high-score window with a fresh record on row 1,
// and the About window.
//
//   main_window_screenshot <folder with the game's data> <output folder>
#include "app/form1.h"
#include "app/hand_cursor.h"
#include "app/qt_platform.h"
#include "core/word_placement.h"
#include "info/form3.h"
#include "scores/form4.h"

#include <QApplication>
#include <QLineEdit>
#include <QImage>
#include <QPixmap>

#include <cstdio>
#include <filesystem>

using namespace vortigo;

namespace {

void clickWord(Form1& window, int word, int letters)
{
    const GameState& s = window.state();
    for (int k = 1; k <= letters; ++k) {
        const Cell c = letterCell(s, word, k);
        const double x = s.MarginX + (c.col - 0.5) * s.CellSize;
        const double y = s.MarginY + (c.row - 0.5) * s.CellSize;
        window.dispatch([&] { window.Form_MouseDown(Button::Left, {}, x, y); });
    }
}

bool save(QWidget& window, const std::filesystem::path& file)
{
    QApplication::processEvents();
    const bool ok = window.grab().save(QString::fromStdString(file.string()));
    std::printf("%s %s\n", ok ? "wrote" : "could not write", file.string().c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <data folder> <output folder>\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::filesystem::path data = std::filesystem::absolute(argv[1]);
    const std::filesystem::path out = std::filesystem::absolute(argv[2]);
    std::filesystem::create_directories(out);

    QtPlatform platform(data);
    platform.setHandCursor(handCursor(handPicture()));
    Form1 window(platform, data);
    platform.setMainWindow(&window);
    if (!window.Form_Load())
        return 1;
    window.MenuSuono_Click();  // quiet, and no pauses
    window.resize(1024, 768);
    window.show();
    QApplication::processEvents();
    bool ok = save(window, out / "title-screen.png");

    window.state().Round = 2;
    window.dispatch([&] { window.MenuNuovo_Click(); });
    clickWord(window, 0, static_cast<int>(window.state().WordList(0).size()));
    clickWord(window, 3, static_cast<int>(window.state().WordList(3).size()));
    clickWord(window, 5, 3);
    ok = save(window, out / "main-window.png") && ok;

    // A record in a scratch folder, so no real table is touched.
    const std::filesystem::path scratch = std::filesystem::temp_directory_path() / "vortigo-screenshot-scores";
    std::filesystem::remove_all(scratch);
    std::filesystem::create_directories(scratch);
    window.state().Score = 2480;
    window.state().RecordNewScore = kTrue;
    {
        Form4 scores({window.state(), platform, &window, window.findChild<QLineEdit*>("Text1")->text(), handCursor(handPicture()), scratch});
        scores.show();
        ok = save(scores, out / "high-scores.png") && ok;
        scores.Command3d1_Click();
    }
    std::filesystem::remove_all(scratch);
    {
        Form3 about(platform, handCursor(handPicture()));
        about.show();
        ok = save(about, out / "about.png") && ok;
    }
    window.MenuSuono_Click();  // leave the player's sound switch as it was
    return ok ? 0 : 1;
}
