// The size of the screen the application's display opened on, known before
// any window exists.
#pragma once

#include <fx.h>

#include "ui/card_scale.h"

PixelSize screenSize(FXApp& app);
// The part of the screen a window manager leaves to windows (the screen
// less its panels); the whole screen without one.
PixelSize workAreaSize(FXApp& app);
