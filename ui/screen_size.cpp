#include "ui/screen_size.h"

// Apart from the toolkit's headers: Xlib's macros clash with their names.
#include <X11/Xlib.h>

PixelSize screenSize(FXApp& app)
{
    auto* display = static_cast<Display*>(app.getDisplay());
    if (!display) return {};
    const int screen = DefaultScreen(display);
    return {DisplayWidth(display, screen), DisplayHeight(display, screen)};
}
