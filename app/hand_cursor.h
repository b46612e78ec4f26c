// SPDX-License-Identifier: GPL-3.0-or-later
// The link hand: a 32 x 32 two-colour pointer, index finger up, hot spot (14, 7).
#pragma once

#include <QCursor>
#include <QPixmap>

namespace vortigo {

inline constexpr int kHandHotX = 14;
inline constexpr int kHandHotY = 7;

/// Black outline, white inside, transparent elsewhere.
QPixmap handPicture();

QCursor handCursor(const QPixmap& picture);

}  // namespace vortigo
