#include "ui/screen_size.h"

// Apart from the toolkit's headers: Xlib's macros clash with their names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

PixelSize screenSize(FXApp& app)
{
    auto* display = static_cast<Display*>(app.getDisplay());
    if (!display) return {};
    const int screen = DefaultScreen(display);
    return {DisplayWidth(display, screen), DisplayHeight(display, screen)};
}

PixelSize workAreaSize(FXApp& app)
{
    auto* display = static_cast<Display*>(app.getDisplay());
    if (!display) return {};
    const Atom workArea = XInternAtom(display, "_NET_WORKAREA", True);
    PixelSize size = screenSize(app);
    if (workArea == None) return size;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    // x, y, width and height of the first desktop's area.
    if (XGetWindowProperty(display, DefaultRootWindow(display), workArea, 0, 4, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        type == XA_CARDINAL && format == 32 && count == 4) {
        const long* area = reinterpret_cast<const long*>(data);
        if (area[2] > 0 && area[3] > 0) size = {static_cast<int>(area[2]), static_cast<int>(area[3])};
    }
    if (data) XFree(data);
    return size;
}

void openWithoutFocus(FXWindow* shell)
{
    auto* display = static_cast<Display*>(shell->getApp()->getDisplay());
    if (!display || !shell->id()) return;
    const Window window = static_cast<Window>(shell->id());
    XWMHints* hints = XGetWMHints(display, window);
    XWMHints none{};
    XWMHints* set = hints ? hints : &none;
    set->flags |= InputHint;
    set->input = False;
    XSetWMHints(display, window, set);
    if (hints) XFree(hints);
    // Without WM_TAKE_FOCUS among its protocols the window cannot be handed
    // the focus either; closing it by its title bar still works.
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
}
