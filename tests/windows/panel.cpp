// A panel along the top of the screen, as a desktop's top bar or a taskbar
// at the top: a dock window reserving a strip, which the window manager
// takes out of the work area. Prints "ready" once the work area starts
// below it, then stays until it is killed. Usage: panel HEIGHT
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>

// The first 32-bit item of the root window's property, or 0.
static long RootItem(Display* display, Window root, const char* name, long index, Atom kind) {
    Atom type;
    int format;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, root, XInternAtom(display, name, False), index, 1, False, kind, &type, &format, &count,
                       &after, &data);
    const long item = data && count == 1 ? reinterpret_cast<long*>(data)[0] : 0;
    if (data) XFree(data);
    return item;
}

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (!display || argc < 2) return 1;
    const Window root = DefaultRootWindow(display);
    // Mapped once the window manager runs, which reads the strip as it
    // manages the window: not in the middle of its own start.
    for (int tries = 0; RootItem(display, root, "_NET_SUPPORTING_WM_CHECK", 0, XA_WINDOW) == 0; ++tries) {
        if (tries == 300) return 3;
        usleep(100000);
    }
    const long height = std::atol(argv[1]);
    const long width = DisplayWidth(display, DefaultScreen(display));
    const Window panel = XCreateSimpleWindow(display, root, 0, 0, width, height, 0, 0, 0);
    const long dock = static_cast<long>(XInternAtom(display, "_NET_WM_WINDOW_TYPE_DOCK", False));
    // left, right, top, bottom, then where each strip starts and ends.
    const long strut[] = {0, 0, height, 0, 0, 0, 0, 0, 0, width - 1, 0, 0};
    XChangeProperty(display, panel, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&dock), 1);
    XChangeProperty(display, panel, XInternAtom(display, "_NET_WM_STRUT_PARTIAL", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(strut), 12);
    // At the top, where it asks to be: without the hint openbox centres it.
    XSizeHints place{};
    place.flags = USPosition | PPosition;
    XSetWMNormalHints(display, panel, &place);
    XMapWindow(display, panel);
    for (int tries = 0; tries < 300; ++tries, usleep(100000)) {
        XSync(display, False);
        if (RootItem(display, root, "_NET_WORKAREA", 1, XA_CARDINAL) != height) continue;
        std::puts("ready");
        std::fflush(stdout);
        for (XEvent event;;) XNextEvent(display, &event);
    }
    return 2;
}
