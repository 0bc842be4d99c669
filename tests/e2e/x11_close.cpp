// x11-close WINDOW: asks a top-level window to close, as a window manager's close box
// does (a WM_DELETE_WINDOW message). Exit status 1 when the window does not take that
// message or the display cannot be opened.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: x11-close WINDOW\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "x11-close: cannot open the display\n");
        return 1;
    }
    Window window = Window(std::strtoul(argv[1], nullptr, 0));
    Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    Atom* offered = nullptr;
    int count = 0;
    bool takes = false;
    if (XGetWMProtocols(display, window, &offered, &count)) {
        for (int i = 0; i < count; ++i) takes = takes || offered[i] == deleteWindow;
        XFree(offered);
    }
    if (!takes) {
        std::fprintf(stderr, "x11-close: window %s does not take WM_DELETE_WINDOW\n", argv[1]);
        XCloseDisplay(display);
        return 1;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
