// The size of the screen the application's display opened on, known before
// any window exists.
#pragma once

#include <fx.h>

#include "ui/card_scale.h"

PixelSize screenSize(FXApp& app);
