#include "form3.h"

namespace vortigo {

Form3::Form3(Platform&, const QCursor&, QWidget* parent) : QDialog(parent) {}

void showAbout(Platform&, const QCursor&) {}

}  // namespace vortigo
