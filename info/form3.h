// The About window.
#pragma once

#include "core/platform.h"

#include <QCursor>
#include <QDialog>

namespace vortigo {

class Form3 : public QDialog {
public:
    Form3(Platform& platform, const QCursor& linkCursor, QWidget* parent = nullptr);
};

/// Loads the About window, centred, and shows it modally until OK.
void showAbout(Platform& platform, const QCursor& linkCursor);

}  // namespace vortigo
