// The warning a player gets on choosing a background picture, which is drawn
// unscaled from the top left corner of the table.
#pragma once

enum class BackgroundFit {
    FITS,          // no warning
    LEAVES_BLACK,  // within 640x480 but short of the table area
    CROPPED,       // beyond 640x480
};

// W and H are the main window's size; the table area is W x (H - banner).
// Pictures are laid out for 640x480, so one larger than that is taken as
// cropped whatever the window, and one within it as leaving black wherever
// it falls short of the table area.
BackgroundFit backgroundFit(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight);

// The text of the "Warning" box, or nullptr when none is due.
const char* backgroundWarning(BackgroundFit fit);
