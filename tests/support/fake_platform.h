// SPDX-License-Identifier: GPL-3.0-or-later
// A scripted stand-in for the platform: answers message boxes from a queue,
// gives a fixed clock and date, and records every call for the test to read.
#pragma once

#include "core/platform.h"

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vortigo::test {

class FakePlatform : public Platform {
public:
    struct Message {
        std::string text;
    };
    struct Command {
        std::string line;
        int style;
    };

    // ---- scripting ----
    std::deque<Answer> answers;  ///< next answers to OK/Cancel boxes; OK when empty
    std::string separator = ".";
    /// Runs while a message box is "open", before it is answered: lets a test
    /// deliver a timer tick or a click in the middle of a modal box.
    std::function<void(const std::string&)> whileMessageOpen;

    // ---- records ----
    std::vector<Message> messages;
    std::vector<std::string> sounds;
    std::vector<double> pauses;
    std::vector<Command> commands;
    std::vector<Pointer> screenPointers;
    bool ended = false;

    Answer messageBox(const std::string& text, Buttons buttons) override
    {
        messages.push_back({text});
        if (whileMessageOpen)
            whileMessageOpen(text);
        if (buttons == Buttons::Ok || answers.empty())
            return Answer::Ok;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void playSound(const std::string& fileName) override { sounds.push_back(fileName); }
    void pause(double seconds) override { pauses.push_back(seconds); }
    void runCommand(const std::string& line, int style) override { commands.push_back({line, style}); }
    double secondsSinceMidnight() override { return 36000.0; }
    std::string dateText() override { return "03-05-2001"; }
    std::string timeText() override { return "09:07:45"; }
    std::string groupSeparator() override { return separator; }
    void setWindowPointer(Pointer) override {}
    void setScreenPointer(Pointer shape) override { screenPointers.push_back(shape); }
    void endProgram() override { ended = true; }

    std::string lastMessage() const { return messages.empty() ? std::string() : messages.back().text; }
};

}  // namespace vortigo::test
