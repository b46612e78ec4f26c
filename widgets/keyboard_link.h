// SPDX-License-Identifier: GPL-3.0-or-later
// A label that acts as a link (home page, mail, record) reachable from the
// keyboard: Tab stops on it, a frame shows that it has the focus, and Space
// or Enter act as a click on it does. A mouse click does not take the focus:
// the link opens once, and the Enter that usually follows goes to the
// window's default button, not to the link again.
// A screen reader finds it as a link whose press action does the same.
#pragma once

#include <functional>

class QLabel;

namespace vortigo {

void makeKeyboardLink(QLabel* label, std::function<void()> activate);

}  // namespace vortigo
