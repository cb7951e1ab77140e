// The Help menu, handed to the About unit.
#include "about/AboutUnit.h"
#include "about/help_links.h"
#include "app/MainUnit.h"

namespace app {

void TMainForm::MContentClick() { about::OpenHelpContent(Handle(), GetSeams().dialogs); }
void TMainForm::MWebPageClick() { about::OpenWebPage(Handle(), GetSeams().dialogs); }
void TMainForm::MAboutClick() { about::ShowAboutWindow(Handle(), GetSeams()); }

}  // namespace app
