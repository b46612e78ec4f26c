// SPDX-License-Identifier: GPL-3.0-or-later
// Everything the game asks of the platform, behind two small interfaces of
// our own. The Qt implementation lives in app/; tests use scripted fakes that
// record every call. Text crossing this seam is UTF-8.
#pragma once

#include <string>

namespace vortigo {

enum class Buttons { Ok, OkCancel };
enum class Answer { Ok, Cancel };

/// Pointer shapes by the numbers the game uses for them.
enum class Pointer : int { Default = 0, Arrow = 1, Hourglass = 11, Hand = 99 };

/// Window styles for opening a target with the desktop's default program.
enum WindowStyle : int { kNormalWithFocus = 1, kMinimisedWithFocus = 2 };

class Platform {
public:
    virtual ~Platform() = default;

    /// A modal message box titled "Vortigo", no icon.
    virtual Answer messageBox(const std::string& text, Buttons buttons) = 0;

    /// Starts a wave file of the program's folder playing and returns at once.
    virtual void playSound(const std::string& fileName) = 0;

    /// Blocks the interface thread for this long, measured on a clock that
    /// never jumps back (so a pause over midnight still ends).
    virtual void pause(double seconds) = 0;

    /// Runs a "start <target>" command line: the target opens with the
    /// desktop's default program, unchanged, without a shell; no waiting.
    virtual void runCommand(const std::string& commandLine, int windowStyle) = 0;

    /// Time of day in seconds since midnight, with its fraction; the random
    /// draws read it before every draw, so it must be cheap.
    virtual double secondsSinceMidnight() = 0;
    /// Today's date as "mm-dd-yyyy".
    virtual std::string dateText() = 0;
    /// The time as "hh:mm:ss", 24-hour clock.
    virtual std::string timeText() = 0;

    /// The user's locale separator for groups of thousands ("." in Italy).
    virtual std::string groupSeparator() = 0;

    /// The main window's own pointer (hourglass while a round is built, arrow).
    virtual void setWindowPointer(Pointer shape) = 0;
    /// The pointer over every window of the program; Default hands it back.
    virtual void setScreenPointer(Pointer shape) = 0;

    /// Ends the program at once: every window closes, no further event is handled.
    virtual void endProgram() = 0;
};

/// The main window's drawing area. Coordinates are pixels from the top left;
/// rectangles include both corners; colours are palette indexes.
class Surface {
public:
    virtual ~Surface() = default;

    virtual int width() const = 0;
    virtual int height() const = 0;

    virtual void setBackColour(int colour) = 0;
    /// Fills the whole surface with the back colour.
    virtual void clear() = 0;

    virtual void fillRect(double x1, double y1, double x2, double y2, int colour) = 0;
    virtual void outlineRect(double x1, double y1, double x2, double y2, int colour) = 0;

    virtual void setFont(const std::string& name, double points, bool bold) = 0;
    virtual double textWidth(const std::string& text) = 0;
    virtual double textHeight(const std::string& text) = 0;
    /// Draws text with its top-left corner at (x, y).
    virtual void drawText(double x, double y, const std::string& text, int colour) = 0;
};

}  // namespace vortigo
