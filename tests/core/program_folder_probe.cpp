// SPDX-License-Identifier: GPL-3.0-or-later
// Prints, as raw bytes, the folder the program finds itself in.
#include "core/program_folder.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    const std::string folder = vortigo::programFolder(argc > 0 ? argv[0] : nullptr).native();
    std::fwrite(folder.data(), 1, folder.size(), stdout);
    return 0;
}
