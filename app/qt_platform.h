// SPDX-License-Identifier: GPL-3.0-or-later
// The platform seam on Qt: message boxes, sound on a worker thread, opening
// targets with the desktop's default programs, the clock, the locale's
// separator, pointer shapes and ending the program.
#pragma once

#include "app/local_clock.h"
#include "core/platform.h"

#include <QCursor>
#include <QPointer>
#include <QThread>

#include <filesystem>

class QWidget;

namespace vortigo {

class SoundPlayer;

class QtPlatform : public Platform {
public:
    explicit QtPlatform(std::filesystem::path programFolder);
    ~QtPlatform() override;

    /// The window whose own pointer setWindowPointer changes, and the parent of message boxes.
    void setMainWindow(QWidget* window) { m_window = window; }
    /// The picture used for the hand pointer.
    void setHandCursor(const QCursor& hand) { m_hand = hand; }

    Answer messageBox(const std::string& text, Buttons buttons) override;
    void playSound(const std::string& fileName) override;
    void pause(double seconds) override;
    void runCommand(const std::string& commandLine, int windowStyle) override;
    double secondsSinceMidnight() override;
    std::string dateText() override;
    std::string timeText() override;
    std::string groupSeparator() override;
    void setWindowPointer(Pointer shape) override;
    void setScreenPointer(Pointer shape) override;
    void endProgram() override;

private:
    std::filesystem::path m_folder;
    QPointer<QWidget> m_window;
    QCursor m_hand;
    QThread m_soundThread;
    SoundPlayer* m_player = nullptr;
    bool m_ended = false;
    LocalClock m_clock;
};

/// The target of a "start <target>" command line as the desktop should get
/// it: addresses unchanged, bare file names made absolute from the current folder.
std::string startTarget(const std::string& commandLine);

/// A file's path as Qt can open it, even when its bytes are not UTF-8 (then
/// relative to the current folder).
QString qtFileName(const std::filesystem::path& path);

}  // namespace vortigo
