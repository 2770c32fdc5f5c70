// A small X11 client that lets the package test look at the installed game as
// a person would: find its window by the title, see what part of it shows,
// and close it with the window's close box: it sends the close request
// (WM_DELETE_WINDOW) the way a window manager does for a click on the close
// box; a signal would not be a clean close.
//
//   x11_window find TITLE SECONDS
//       waits until a viewable window has that title, then prints
//       "ID WIDTH HEIGHT"; exit status 1 when none shows in time
//   x11_window colour ID X Y WIDTH HEIGHT
//       prints the percentage of pixels of that rectangle of the window
//       (window coordinates) that are clearly coloured: the largest and
//       smallest of red, green and blue differ by at least a quarter of the
//       range. White, black and grey give 0.
//   x11_window close ID
//       asks the window to close

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Connection {
    Display* x = XOpenDisplay(nullptr);
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() {
        if (x != nullptr)
            XCloseDisplay(x);
    }
};

int ignoreErrors(Display*, XErrorEvent*) {
    return 0;
}

std::string titleOf(Display* display, Window window) {
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netWmName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr && type == utf8 && format == 8)
        title.assign(reinterpret_cast<const char*>(data), count);
    if (data != nullptr)
        XFree(data);
    if (title.empty()) {
        char* name = nullptr;
        if (XFetchName(display, window, &name) != 0 && name != nullptr) {
            title = name;
            XFree(name);
        }
    }
    return title;
}

std::optional<Window> findViewable(Display* display, Window under, const std::string& title) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, under, &root, &parent, &children, &count) == 0)
        return std::nullopt;
    const std::vector<Window> list(children, children + count);
    if (children != nullptr)
        XFree(children);
    for (Window child : list) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, child, &attributes) != 0 &&
            attributes.map_state == IsViewable && titleOf(display, child) == title)
            return child;
        if (auto found = findViewable(display, child, title))
            return found;
    }
    return std::nullopt;
}

int usage() {
    std::fprintf(stderr, "usage: x11_window find TITLE SECONDS | colour ID X Y WIDTH HEIGHT | "
                         "close ID\n");
    return 2;
}

int findWindow(Display* display, const std::string& title, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    do {
        if (auto window = findViewable(display, DefaultRootWindow(display), title)) {
            XWindowAttributes attributes{};
            XGetWindowAttributes(display, *window, &attributes);
            std::printf("%lu %d %d\n", *window, attributes.width, attributes.height);
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < deadline);
    return 1;
}

int colourShare(Display* display, Window window, int x, int y, int width, int height) {
    if (width <= 0 || height <= 0)
        return usage();
    XImage* image = XGetImage(display, window, x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        std::fprintf(stderr, "x11_window: cannot read the window's pixels\n");
        return 2;
    }
    // Each channel scaled to 0..255 through its mask, whatever the visual.
    auto channel = [](unsigned long pixel, unsigned long mask) {
        if (mask == 0)
            return 0L;
        int shift = 0;
        while (((mask >> shift) & 1UL) == 0)
            ++shift;
        const unsigned long top = mask >> shift;
        return static_cast<long>(((pixel & mask) >> shift) * 255UL / top);
    };
    long coloured = 0;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            const unsigned long pixel = XGetPixel(image, column, row);
            const long r = channel(pixel, image->red_mask);
            const long g = channel(pixel, image->green_mask);
            const long b = channel(pixel, image->blue_mask);
            const long high = std::max({r, g, b});
            const long low = std::min({r, g, b});
            if (high - low >= 64)
                ++coloured;
        }
    XDestroyImage(image);
    std::printf("%ld\n", coloured * 100 / (static_cast<long>(width) * height));
    return 0;
}

int closeWindow(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    if (XSendEvent(display, window, False, NoEventMask, &event) == 0)
        return 2;
    XSync(display, False);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    Connection connection;
    if (connection.x == nullptr) {
        std::fprintf(stderr, "x11_window: cannot open the display\n");
        return 2;
    }
    // Ignored: a window may vanish between listing it and asking about it.
    XSetErrorHandler(ignoreErrors);
    Display* display = connection.x;
    if (args.size() == 3 && args[0] == "find")
        return findWindow(display, args[1], std::atof(args[2].c_str()));
    if (args.size() == 6 && args[0] == "colour")
        return colourShare(display, std::strtoul(args[1].c_str(), nullptr, 0),
                           std::atoi(args[2].c_str()), std::atoi(args[3].c_str()),
                           std::atoi(args[4].c_str()), std::atoi(args[5].c_str()));
    if (args.size() == 2 && args[0] == "close")
        return closeWindow(display, std::strtoul(args[1].c_str(), nullptr, 0));
    return usage();
}
