// SPDX-License-Identifier: GPL-3.0-or-later
#include "game_fonts.h"

#include <QFile>
#include <QFontDatabase>

namespace vortigo {

void registerGameFonts()
{
    static const bool once = [] {
        for (const char* path : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"})
            if (QFile::exists(QString::fromLatin1(path)))
                QFontDatabase::addApplicationFont(QString::fromLatin1(path));
        return true;
    }();
    (void)once;
}

QString fixedPitchFamily()
{
    const QStringList families = QFontDatabase::families();
    for (const char* name : {"Courier New", "Liberation Mono"})
        if (families.contains(QString::fromLatin1(name)))
            return QString::fromLatin1(name);
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

}  // namespace vortigo
