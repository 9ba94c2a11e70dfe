// How the picture under the table is fitted, and the warning a player gets
// on choosing one.
#pragma once

#include "ui/card_scale.h"

enum class BackgroundFit {
    FITS,      // no warning
    ENLARGED,  // within 640x480 but short of the table area
    CROPPED,   // beyond 640x480
};

// W and H are the main window's size at the small table; the table area is
// W x (H - banner). Pictures are laid out for 640x480, so one larger than
// that is taken as cropped whatever the window, and one within it as
// enlarged wherever it falls short of the table area.
BackgroundFit backgroundFit(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight);

// The text of the "Warning" box, or nullptr when none is due.
const char* backgroundWarning(BackgroundFit fit);

// The size a picture is drawn at from the table's top left corner: its own
// where it covers the area, so a larger one is cut at the edges; else
// enlarged in proportion just enough to cover it, so no bare strip shows.
PixelSize backgroundDrawnSize(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight);
