#include "links.h"

namespace vortigo {

void openHelpPage(Platform&, const std::filesystem::path&) {}
void openAuthorMail(Platform&) {}
void openHomePage(Platform&) {}

}  // namespace vortigo
