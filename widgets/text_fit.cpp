// SPDX-License-Identifier: GPL-3.0-or-later
#include "text_fit.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QLabel>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace vortigo {

QSize textRoom(const QFont& font, const QString& text, int wrapWidth)
{
    const QFontMetricsF metrics(font);
    // Letters are placed at fractional positions: a caption whose advance is
    // 73.4 pixels needs 74, or its last letter is cut.
    if (wrapWidth <= 0)
        return {static_cast<int>(std::ceil(metrics.horizontalAdvance(text))), QFontMetrics(font).height()};
    const QRectF lines = metrics.boundingRect(QRectF(0, 0, wrapWidth, 1e6), Qt::TextWordWrap, text);
    return {static_cast<int>(std::ceil(lines.width())), static_cast<int>(std::ceil(lines.height()))};
}

QSize labelNeeds(const QLabel* label)
{
    const QRect inside = label->contentsRect();
    const QSize frame = label->size() - inside.size();
    const QSize oneLine = textRoom(label->font(), label->text());
    if (!label->wordWrap() || label->text().isEmpty())
        return oneLine + frame;
    // The narrowest width, from the design's on, at which the lines fit the height.
    for (int width = std::max(inside.width(), 1); width < oneLine.width(); ++width) {
        const QSize room = textRoom(label->font(), label->text(), width);
        if (room.width() <= width && room.height() <= inside.height())
            return QSize(width, std::max(room.height(), inside.height())) + frame;
    }
    return oneLine + frame;
}

std::vector<QRect> fittedRects(const std::vector<FitBox>& boxes)
{
    std::vector<QRect> out;
    out.reserve(boxes.size());
    for (const FitBox& box : boxes) {
        QRect r = box.design;
        const int width = std::max(r.width(), box.needed.width());
        if (box.growsLeft)
            r.setLeft(r.right() + 1 - width);
        else
            r.setWidth(width);
        r.setHeight(std::max(r.height(), box.needed.height()));
        out.push_back(r);
    }

    // A caption box drawn taller than its text reaches into the control below it.
    const auto sideBySide = [](const QRect& a, const QRect& b) { return a.left() <= b.right() && b.left() <= a.right(); };
    for (std::size_t i = 0; i < out.size(); ++i)
        for (std::size_t j = 0; j < out.size(); ++j)
            if (out[j].top() > out[i].top() && sideBySide(out[i], out[j]) && out[i].bottom() >= out[j].top())
                out[i].setHeight(std::max(boxes[i].needed.height(), out[j].top() - out[i].top()));

    // From left to right, a control that one already placed would cover moves right.
    std::vector<std::size_t> order(out.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return out[a].left() < out[b].left(); });
    for (std::size_t k = 0; k < order.size(); ++k) {
        QRect& r = out[order[k]];
        for (bool moved = true; moved;) {
            moved = false;
            for (std::size_t m = 0; m < k; ++m)
                if (out[order[m]].intersects(r)) {
                    r.moveLeft(out[order[m]].right() + 1);
                    moved = true;
                }
        }
    }
    return out;
}

void fitControls(const std::vector<FitControl>& controls)
{
    std::vector<FitBox> boxes;
    boxes.reserve(controls.size());
    for (const FitControl& c : controls)
        boxes.push_back({c.widget->geometry(), c.needed, c.growsLeft});
    const std::vector<QRect> rects = fittedRects(boxes);
    for (std::size_t i = 0; i < controls.size(); ++i)
        controls[i].widget->setGeometry(rects[i]);
}

}  // namespace vortigo
