// How the picture under the table is fitted, and the warning a player gets
// on choosing one.
#pragma once

#include "ui/card_scale.h"

enum class BackgroundFit {
    FITS,      // no warning
    ENLARGED,  // short of the table area on either side
    CROPPED,   // covers the table area and is beyond 640x480
};

// W and H are the main window's size at the small table; the table area is
// W x (H - banner). A picture that falls short of the table area on either
// side is enlarged to cover it; one that covers it and is larger than the
// 640x480 pictures are laid out for is cropped.
BackgroundFit backgroundFit(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight);

// The text of the "Warning" box, or nullptr when none is due.
const char* backgroundWarning(BackgroundFit fit);

// The size a picture is drawn at from the table's top left corner: its own
// where it covers the area, so a larger one is cut at the edges; else
// enlarged in proportion just enough to cover it, so no bare strip shows.
PixelSize backgroundDrawnSize(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight);
