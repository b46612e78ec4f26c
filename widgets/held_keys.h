// SPDX-License-Identifier: GPL-3.0-or-later
// A held Space or Enter is one press, as a held mouse button is one click.
// The system repeats a held key; X marks the repeats unreliably (with
// detectable repeat, as Qt asks for, they come as presses with no release
// between and no repeat mark). So the game follows each key's own press and
// release: a press of a key that is already down is dropped before any
// window sees it, whichever window has the focus by then (a message box
// that the first press opened must not be answered by the repeats). A key
// whose release went astray (to a window that was closing) counts as up
// again once no repeat of it has come for longer than a repeat delay.
#pragma once

namespace vortigo {

/// Installs the filter on the application; called once, after the
/// application object exists.
void makeHeldKeysOnePress();

}  // namespace vortigo
