// The picture under the table, named by the "Display" / "Background" setting.
#pragma once

#include <fx.h>

#include "ui/data_files.h"

extern const char* const BACKGROUND_SECTION;     // "Display"
extern const char* const BACKGROUND_KEY;         // "Background"
extern const char* const BACKGROUND_SOLID;       // the exact keyword for no picture

// Loads a JPEG file and creates it on the display, keeping its pixels;
// nullptr when the path names no regular file (a named pipe would block the
// open for ever) or the file holds no readable JPEG.
FXImage* loadBackgroundImage(FXApp* app, const FXString& path);

// The picture the setting names, or nullptr for the solid cloth. Without a
// setting, the default picture in the working directory or else the one
// installed with the program. A file that fails to load leaves the setting
// alone, to be tried again next time.
FXImage* loadBackgroundFromSettings(FXApp* app);
