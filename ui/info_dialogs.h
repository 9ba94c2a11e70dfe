// The Info menu's modal dialogs: About, How to Play and Rules. Each is built
// when its command comes, shown centred on the screen, closed with OK and
// destroyed; none changes any state.
#pragma once

namespace FX {
class FXWindow;
}

void showAbout(FX::FXWindow* owner);
void showHowToPlay(FX::FXWindow* owner);
void showRules(FX::FXWindow* owner);
