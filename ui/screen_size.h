// What the program asks of the X server itself: the size of the screen and
// of its work area, known before any window exists, and a window that the
// window manager is to leave without the keyboard.
#pragma once

#include <fx.h>

#include "ui/card_scale.h"

PixelSize screenSize(FXApp& app);
// The part of the screen a window manager leaves to windows (the screen
// less its panels); the whole screen without one.
PixelSize workAreaSize(FXApp& app);

// Before the shell is shown: the window manager gives it no keyboard focus,
// so keys go on reaching the main window; clicks still reach it.
void openWithoutFocus(FXWindow* shell);
