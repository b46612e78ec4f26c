// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include <string_view>

#ifndef VORTIGO_VERSION
#error "VORTIGO_VERSION comes from the project's version in CMakeLists.txt"
#endif

namespace vortigo {

CommandLineRequest readCommandLine(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i] ? argv[i] : "";
        if (argument == "--help" || argument == "-h")
            return CommandLineRequest::Help;
        if (argument == "--version")
            return CommandLineRequest::Version;
    }
    return CommandLineRequest::Play;
}

std::string usageText()
{
    return "Uso: vortigo [--help] [--version]\n"
           "\n"
           "Vortigo, il gioco delle parole nascoste: trova nella griglia ogni parola\n"
           "dell'elenco, lettera per lettera, prima che scada il tempo.\n"
           "\n"
           "  --help      mostra questo aiuto ed esce\n"
           "  --version   mostra la versione ed esce\n"
           "\n"
           "Senza opzioni apre la finestra del gioco; altri argomenti sono ignorati.\n"
           "Impostazioni e record: vortigo.INI e vortigo.HIS accanto al programma, o,\n"
           "in un'installazione, in ~/.config/vortigo e ~/.local/share/vortigo.\n"
           "Guida: F1 nel gioco, oppure man 6 vortigo.\n";
}

std::string versionText()
{
    return "vortigo " VORTIGO_VERSION "\n"
           "Licenza GPL-3.0-or-later: <https://www.gnu.org/licenses/gpl-3.0.html>.\n"
           "Questo è software libero: sei libero di modificarlo e ridistribuirlo.\n"
           "Non c'è ALCUNA GARANZIA, nei limiti permessi dalla legge.\n";
}

}  // namespace vortigo
