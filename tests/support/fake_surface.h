// SPDX-License-Identifier: GPL-3.0-or-later
// A drawing surface that records what was drawn, with simple fixed metrics:
// a letter is 0.6 of the font size wide and 1.2 of it high.
#pragma once

#include "core/platform.h"

#include <string>
#include <vector>

namespace vortigo::test {

class FakeSurface : public Surface {
public:
    struct Op {
        enum Kind { Clear, Fill, Outline, Text } kind;
        double x1, y1, x2, y2;
        int colour;
        std::string text;
    };

    int backColour = 15;
    double fontPoints = 0;
    bool fontBold = false;
    std::vector<Op> ops;

    int width() const override { return 680; }
    int height() const override { return 620; }
    void setBackColour(int colour) override { backColour = colour; }
    void clear() override { ops.push_back({Op::Clear, 0, 0, 0, 0, backColour, {}}); }
    void fillRect(double x1, double y1, double x2, double y2, int colour) override
    {
        ops.push_back({Op::Fill, x1, y1, x2, y2, colour, {}});
    }
    void outlineRect(double x1, double y1, double x2, double y2, int colour) override
    {
        ops.push_back({Op::Outline, x1, y1, x2, y2, colour, {}});
    }
    void setFont(const std::string&, double points, bool bold) override
    {
        fontPoints = points;
        fontBold = bold;
    }
    double textWidth(const std::string& text) override { return 0.6 * fontPoints * static_cast<double>(text.size()); }
    double textHeight(const std::string&) override { return 1.2 * fontPoints; }
    void drawText(double x, double y, const std::string& text, int colour) override
    {
        ops.push_back({Op::Text, x, y, 0, 0, colour, text});
    }

    std::vector<Op> textOps() const
    {
        std::vector<Op> out;
        for (const Op& op : ops)
            if (op.kind == Op::Text)
                out.push_back(op);
        return out;
    }
};

}  // namespace vortigo::test
