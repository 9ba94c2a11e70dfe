// What the GUI tests cannot do with xdotool when no window manager runs:
//   x11_probe close TITLE        ask the window titled TITLE to close, as a
//                                window manager's close button does
//   x11_probe startup CMD ARGS   run CMD, report the milliseconds from exec
//                                until its window is mapped, close it, and
//                                report its exit status and peak memory
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string windowName(Display* display, Window window)
{
    char* name = nullptr;
    if (!XFetchName(display, window, &name) || !name) return {};
    std::string result = name;
    XFree(name);
    return result;
}

Window findByName(Display* display, const std::string& title)
{
    Window root = DefaultRootWindow(display);
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (!XQueryTree(display, root, &root, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count && !found; ++i)
        if (windowName(display, children[i]) == title) found = children[i];
    if (children) XFree(children);
    return found;
}

bool sendDeleteWindow(Display* display, Window window)
{
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display, window, False, NoEventMask, &event) != 0;
    XFlush(display);
    return sent;
}

int closeWindow(const char* title)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 2;
    const Window window = findByName(display, title);
    const bool sent = window && sendDeleteWindow(display, window);
    XCloseDisplay(display);
    if (!sent) std::fprintf(stderr, "no window titled %s\n", title);
    return sent ? 0 : 1;
}

int startup(char** command)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 2;
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(command[0], command);
        _exit(127);
    }
    // The program's top window is mapped as a child of the root; the name
    // tells it from its menus and popups.
    Window mapped = 0;
    while (!mapped) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify) continue;
        if (!windowName(display, event.xmap.window).empty()) mapped = event.xmap.window;
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    sendDeleteWindow(display, mapped);

    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    XCloseDisplay(display);
    std::printf("mapped_ms=%.1f exit=%d maxrss_kib=%ld\n", ms, WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                usage.ru_maxrss);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "close") == 0) return closeWindow(argv[2]);
    if (argc >= 3 && std::strcmp(argv[1], "startup") == 0) return startup(argv + 2);
    std::fprintf(stderr, "usage: x11_probe close TITLE | x11_probe startup CMD [ARGS]\n");
    return 2;
}
