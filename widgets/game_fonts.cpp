// SPDX-License-Identifier: GPL-3.0-or-later
#include "game_fonts.h"

#include <QFile>
#include <QFontDatabase>

namespace vortigo {

void registerGameFonts()
{
    static const bool once = [] {
        // A Tahoma of the system's own is used as it is.
        if (QFontDatabase::families().contains(QStringLiteral("Tahoma")))
            return true;
        const QString regular = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
        if (QFile::exists(regular))
            QFontDatabase::addApplicationFont(regular);
        // Wine's bold Tahoma (tahomabd.ttf) is left out on purpose: only its
        // spacing is bold, its stems are as thin as the regular face's, so
        // bold captions and grid letters came out regular. Without it, Qt
        // emboldens the regular face wherever bold is asked for; by default
        // it stops doing so for letters of 64 pixels and more, which the
        // grid reaches on large screens, so that limit is lifted.
        qputenv("QT_NO_SYNTHESIZED_BOLD_LIMIT", "1");
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
