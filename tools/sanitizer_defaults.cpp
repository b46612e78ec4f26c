// SPDX-License-Identifier: GPL-3.0-or-later
// Linked into the game only in the sanitizer build: the defaults its runs get
// even when a test starts it with a clean environment (as the installed-game
// test does). Leak checking is off: at exit, Qt Multimedia's objects of the
// unloaded sound module stay behind; memory errors and undefined behaviour
// still end the program.
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=0:abort_on_error=1";
}

extern "C" const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}
