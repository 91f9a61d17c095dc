// Small X11 probes for the end-to-end tests, where the shell tools fall
// short:
//   xprobe close WINDOW          ask a window to close as a window manager's
//                                close box does (WM_DELETE_WINDOW); the test
//                                desktop has no window manager, and xdotool's
//                                windowclose destroys the window instead
//   xprobe count WINDOW R G B    how many pixels of the window have exactly
//                                that colour
//   xprobe bars WINDOW R G B     the horizontal bars of exactly that colour:
//                                one line "TOP WIDTH" per band of rows that
//                                hold it, WIDTH the most such pixels in a row
//   xprobe digest WINDOW X Y W H a hash of the pixels of that rectangle of the
//                                window (equal hashes: same picture)
//   xprobe sync WINDOW           waits until the window's program has handled
//                                everything that reached it before (it
//                                answers a _NET_WM_PING); fails after 5 s
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool parseNumber(const char* text, unsigned long& out) {
    char* end = nullptr;
    out = std::strtoul(text, &end, 0);
    return end != text && *end == '\0';
}

int usage() {
    std::fprintf(stderr,
                 "usage: xprobe close WINDOW | count WINDOW R G B | bars WINDOW R G B\n"
                 "       | digest WINDOW X Y W H | sync WINDOW\n");
    return 2;
}

int closeWindow(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    return sent != 0 ? 0 : 1;
}

// The program answers a ping to the root window once it has handled every
// event queued before it; the server carries out its requests in order, so
// whatever the program did for those events is done by then as well.
int syncWith(Display* display, Window window) {
    const Window root = DefaultRootWindow(display);
    // Qt versions differ in the mask they send the answer with.
    XSelectInput(display, root, StructureNotifyMask | SubstructureNotifyMask);
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
    const auto start = std::chrono::steady_clock::now();
    const long token = static_cast<long>(start.time_since_epoch().count() & 0x7fffffff);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(ping);
    event.xclient.data.l[1] = token;
    event.xclient.data.l[2] = static_cast<long>(window);
    if (XSendEvent(display, window, False, NoEventMask, &event) == 0) return 1;
    XFlush(display);
    const auto deadline = start + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        while (XPending(display) > 0) {
            XEvent answer;
            XNextEvent(display, &answer);
            if (answer.type == ClientMessage && answer.xclient.message_type == protocols &&
                answer.xclient.data.l[0] == static_cast<long>(ping) &&
                answer.xclient.data.l[1] == token) {
                return 0;
            }
        }
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, 50);
    }
    return 1;
}

// One colour channel scaled to 0..255 from the visual's mask.
unsigned channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1UL) == 0) ++shift;
    const unsigned long max = mask >> shift;
    return static_cast<unsigned>(((pixel & mask) >> shift) * 255UL / max);
}

struct Rect {
    int x, y;
    unsigned w, h;
};

// Calls use(r, g, b) for every pixel of the rectangle; false if the window
// cannot be read (gone, or not viewable).
template <typename Use>
bool forEachPixel(Display* display, Window window, Rect rect, Use use) {
    XImage* image = XGetImage(display, window, rect.x, rect.y, rect.w, rect.h, AllPlanes, ZPixmap);
    if (image == nullptr) return false;
    for (unsigned y = 0; y < rect.h; ++y) {
        for (unsigned x = 0; x < rect.w; ++x) {
            const unsigned long p = XGetPixel(image, static_cast<int>(x), static_cast<int>(y));
            use(channel(p, image->red_mask), channel(p, image->green_mask),
                channel(p, image->blue_mask));
        }
    }
    XDestroyImage(image);
    return true;
}

bool windowRect(Display* display, Window window, Rect& rect) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0) return false;
    rect = {0, 0, static_cast<unsigned>(attributes.width),
            static_cast<unsigned>(attributes.height)};
    return true;
}

// One line "TOP WIDTH" per band of consecutive rows holding the colour.
bool printBars(Display* display, Window window, unsigned long r, unsigned long g, unsigned long b) {
    Rect rect{};
    if (!windowRect(display, window, rect)) return false;
    std::vector<unsigned> perRow(rect.h, 0);
    unsigned column = 0, row = 0;
    const bool read =
        forEachPixel(display, window, rect, [&](unsigned pr, unsigned pg, unsigned pb) {
            if (pr == r && pg == g && pb == b) ++perRow[row];
            if (++column == rect.w) {
                column = 0;
                ++row;
            }
        });
    if (!read) return false;
    for (unsigned y = 0; y < rect.h; ++y) {
        if (perRow[y] == 0 || (y > 0 && perRow[y - 1] != 0)) continue;
        unsigned width = 0;
        for (unsigned z = y; z < rect.h && perRow[z] != 0; ++z) width = std::max(width, perRow[z]);
        std::printf("%u %u\n", y, width);
    }
    return true;
}

// A window that went away or is not viewable makes the request fail; the
// probe then reports that instead of being ended by Xlib's default handler.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const std::string command = argv[1];
    unsigned long window = 0;
    if (!parseNumber(argv[2], window) || window == 0) return usage();
    unsigned long n[4] = {};
    const int extra = command == "close" || command == "sync"   ? 0
                      : command == "count" || command == "bars" ? 3
                      : command == "digest"                     ? 4
                                                                : -1;
    if (extra < 0 || argc != 3 + extra) return usage();
    for (int i = 0; i < extra; ++i) {
        if (!parseNumber(argv[3 + i], n[i])) return usage();
    }

    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "xprobe: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(ignoreXError);
    int status = 1;
    if (command == "close") {
        status = closeWindow(display, window);
    } else if (command == "sync") {
        status = syncWith(display, window);
    } else if (command == "count") {
        Rect rect{};
        unsigned long count = 0;
        const bool read =
            windowRect(display, window, rect) &&
            forEachPixel(display, window, rect, [&](unsigned r, unsigned g, unsigned b) {
                if (r == n[0] && g == n[1] && b == n[2]) ++count;
            });
        if (read) {
            std::printf("%lu\n", count);
            status = 0;
        }
    } else if (command == "bars") {
        status = printBars(display, window, n[0], n[1], n[2]) ? 0 : 1;
    } else {
        const Rect rect{static_cast<int>(n[0]), static_cast<int>(n[1]), static_cast<unsigned>(n[2]),
                        static_cast<unsigned>(n[3])};
        std::uint64_t hash = 14695981039346656037ULL;  // FNV-1a
        const bool read =
            forEachPixel(display, window, rect, [&](unsigned r, unsigned g, unsigned b) {
                for (unsigned c : {r, g, b}) {
                    hash = (hash ^ c) * 1099511628211ULL;
                }
            });
        if (read) {
            std::printf("%016llx\n", static_cast<unsigned long long>(hash));
            status = 0;
        }
    }
    XCloseDisplay(display);
    if (status != 0 && command == "sync") {
        std::fprintf(stderr, "xprobe sync: window %s did not answer\n", argv[2]);
    } else if (status != 0) {
        std::fprintf(stderr, "xprobe %s: window %s could not be read\n", argv[1], argv[2]);
    }
    return status;
}
