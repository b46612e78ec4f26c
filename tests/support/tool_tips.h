// SPDX-License-Identifier: GPL-3.0-or-later
// Every tooltip of a window, by the name of its control: a tip lost, changed
// or moved to another control shows as a difference.
#pragma once

#include <QWidget>

#include <map>
#include <string>

namespace vortigo::test {

inline std::map<std::string, std::string> toolTipsOf(const QWidget& window)
{
    std::map<std::string, std::string> tips;
    for (const QWidget* w : window.findChildren<QWidget*>())
        if (!w->toolTip().isEmpty())
            tips[w->objectName().toStdString()] += w->toolTip().toStdString();
    return tips;
}

}  // namespace vortigo::test
