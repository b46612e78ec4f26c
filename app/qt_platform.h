// SPDX-License-Identifier: GPL-3.0-or-later
// The platform seam on Qt: message boxes, sound (from a module loaded at the
// first sound, playing on a thread of its own), opening
// targets with the desktop's default programs, the clock, the locale's
// separator, pointer shapes and ending the program.
#pragma once

#include "app/local_clock.h"
#include "core/platform.h"

#include <QCursor>
#include <QLibrary>
#include <QPointer>

#include <filesystem>

class QWidget;

namespace vortigo {

class QtPlatform : public Platform {
public:
    /// Sounds are read from programFolder; the sound module lies in
    /// moduleFolder, the program's folder when none is given.
    explicit QtPlatform(std::filesystem::path programFolder, std::filesystem::path moduleFolder = {});
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
    std::filesystem::path m_moduleFolder;  ///< where vortigo_sound lies
    QPointer<QWidget> m_window;
    QCursor m_hand;
    using SoundPlay = void (*)(const QString*);
    using SoundStop = void (*)();
    QLibrary m_soundModule;  ///< vortigo_sound beside the program, loaded at the first sound
    bool m_soundLoaded = false;
    SoundPlay m_soundPlay = nullptr;
    SoundStop m_soundStop = nullptr;
    bool m_ended = false;
    LocalClock m_clock;
};

/// The target of a "start <target>" command line as the desktop should get
/// it: web addresses as browserAddress gives them, bare file names made
/// absolute from the current folder.
std::string startTarget(const std::string& commandLine);

/// A file's path as Qt can open it, even when its bytes are not UTF-8 (then
/// relative to the current folder).
QString qtFileName(const std::filesystem::path& path);

}  // namespace vortigo
