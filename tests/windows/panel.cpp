// A panel along the top of the screen, as a desktop's top bar or a taskbar
// at the top: a dock window reserving a strip, which the window manager
// takes out of the work area. Prints "ready" once the work area starts
// below it, then stays until it is killed. Usage: panel HEIGHT
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (!display || argc < 2) return 1;
    const long height = std::atol(argv[1]);
    const long width = DisplayWidth(display, DefaultScreen(display));
    const Window root = DefaultRootWindow(display);
    const Window panel = XCreateSimpleWindow(display, root, 0, 0, width, height, 0, 0, 0);
    auto set = [&](const char* name, Atom type, const long* values, int count) {
        XChangeProperty(display, panel, XInternAtom(display, name, False), type, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(values), count);
    };
    const long dock[] = {static_cast<long>(XInternAtom(display, "_NET_WM_WINDOW_TYPE_DOCK", False))};
    set("_NET_WM_WINDOW_TYPE", XA_ATOM, dock, 1);
    // left, right, top, bottom, then the start and end of each strip.
    const long strut[] = {0, 0, height, 0, 0, 0, 0, 0, 0, width - 1, 0, 0};
    set("_NET_WM_STRUT_PARTIAL", XA_CARDINAL, strut, 12);
    XMapWindow(display, panel);
    const Atom workArea = XInternAtom(display, "_NET_WORKAREA", False);
    for (int tries = 0; tries < 100; ++tries) {
        Atom type;
        int format;
        unsigned long count = 0, after;
        unsigned char* data = nullptr;
        XSync(display, False);
        if (XGetWindowProperty(display, root, workArea, 0, 4, False, XA_CARDINAL, &type, &format, &count, &after,
                               &data) == Success &&
            data) {
            const long top = count >= 2 ? reinterpret_cast<long*>(data)[1] : -1;
            XFree(data);
            if (top == height) {
                std::puts("ready");
                std::fflush(stdout);
                for (;;) {
                    XEvent event;
                    XNextEvent(display, &event);
                }
            }
        }
        usleep(100000);
    }
    return 2;
}
