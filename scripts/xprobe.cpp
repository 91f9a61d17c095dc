// The X11 probe of the private desktop (scripts/desktop.sh): the window
// queries its waits poll many times a second, each one request to a probe
// that serves the whole test over one connection (or one process of its
// own) instead of a pipeline of xwininfo, awk and grep, and what the shell
// tools cannot do at all.
//   xprobe windows [-q] [--mapped] [--managed] [NAME]
//                                the top-level windows, one id per line, top
//                                of the stack first: the root's children, or
//                                with --managed the windows anywhere in the
//                                tree that a window manager handles (they
//                                carry WM_STATE); --mapped those viewable,
//                                NAME those titled exactly NAME; -q prints
//                                nothing and succeeds when there is one
//   xprobe tray-panel [--mapped] the tray host's panel (WM_CLASS "panel",
//                                "trayer"); fails when there is none
//   xprobe tray-icons            the tray entries' windows: the panel's
//                                grandchildren (the host puts each entry's
//                                window inside a socket window of its own)
//   xprobe mapped WINDOW         succeeds when the window is viewable
//   xprobe geometry WINDOW       "X Y W H", its rectangle on the screen
//   xprobe drawn WINDOW          succeeds when it shows more than one colour
//   xprobe wm-state WINDOW       Normal, Iconic or Withdrawn (WM_STATE)
//   xprobe wm-running            succeeds when a window manager runs
//                                (_NET_SUPPORTING_WM_CHECK on the root)
//   xprobe close WINDOW          ask a window to close as a window manager's
//                                close box does (WM_DELETE_WINDOW); xdotool's
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
//   xprobe serve                 the commands above, one per line on stdin,
//                                over one connection (serve() below)
// Exit status 0 success, 1 failure (a window that cannot be read among
// them), 2 a malformed command line.
#include <X11/Xatom.h>
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

// Where a command's messages go: stderr, or while serving, the answer.
FILE* messages = stderr;

int usage() {
    std::fprintf(messages,
                 "usage: xprobe windows [-q] [--mapped] [--managed] [NAME]\n"
                 "       | tray-panel [--mapped] | tray-icons | wm-running\n"
                 "       | mapped|geometry|drawn|wm-state|close|sync WINDOW\n"
                 "       | count|bars WINDOW R G B | digest WINDOW X Y W H\n");
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

// A window's title as xwininfo shows it: _NET_WM_NAME, else WM_NAME.
bool titleOf(Display* display, Window window, std::string& title) {
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &items,
                           &after, &data) == Success &&
        data != nullptr && type == utf8 && format == 8) {
        title.assign(reinterpret_cast<const char*>(data), items);
        XFree(data);
        return true;
    }
    if (data != nullptr) XFree(data);
    char* name = nullptr;
    if (XFetchName(display, window, &name) != 0 && name != nullptr) {
        title = name;
        XFree(name);
        return true;
    }
    return false;
}

// A window's children, top of the stack first; none for a window that is gone.
std::vector<Window> childrenOf(Display* display, Window window) {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::vector<Window> out;
    if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) return out;
    for (unsigned i = count; i > 0; --i) out.push_back(children[i - 1]);
    if (children != nullptr) XFree(children);
    return out;
}

// Every window below the root, depth first, each before its children.
void walkTree(Display* display, Window window, std::vector<Window>& out) {
    for (Window child : childrenOf(display, window)) {
        out.push_back(child);
        walkTree(display, child, out);
    }
}

bool viewable(Display* display, Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) != 0 &&
           attributes.map_state == IsViewable;
}

// WM_STATE's first field, or -1 when the window carries none (Withdrawn).
long wmState(Display* display, Window window) {
    const Atom wmStateAtom = XInternAtom(display, "WM_STATE", False);
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    long state = -1;
    if (XGetWindowProperty(display, window, wmStateAtom, 0, 2, False, wmStateAtom, &type, &format,
                           &items, &after, &data) == Success &&
        data != nullptr && format == 32 && items > 0) {
        state = reinterpret_cast<const long*>(data)[0];
    }
    if (data != nullptr) XFree(data);
    return state;
}

struct WindowFilter {
    bool quiet = false, mapped = false, managed = false;
    bool named = false;
    std::string name;
};

int listWindows(Display* display, const WindowFilter& filter) {
    const Window root = DefaultRootWindow(display);
    std::vector<Window> candidates;
    if (filter.managed) {
        walkTree(display, root, candidates);
    } else {
        candidates = childrenOf(display, root);
    }
    bool found = false;
    for (Window window : candidates) {
        if (filter.managed && wmState(display, window) < 0) continue;
        std::string title;
        if (filter.named && (!titleOf(display, window, title) || title != filter.name)) continue;
        if (filter.mapped && !viewable(display, window)) continue;
        found = true;
        if (filter.quiet) break;
        std::printf("0x%lx\n", window);
    }
    return filter.quiet && !found ? 1 : 0;
}

// The tray host's panel: the first window of WM_CLASS ("panel", "trayer").
Window trayPanel(Display* display) {
    std::vector<Window> all;
    walkTree(display, DefaultRootWindow(display), all);
    for (Window window : all) {
        XClassHint hint{};
        if (XGetClassHint(display, window, &hint) == 0) continue;
        const bool panel = hint.res_name != nullptr && std::strcmp(hint.res_name, "panel") == 0 &&
                           hint.res_class != nullptr && std::strcmp(hint.res_class, "trayer") == 0;
        if (hint.res_name != nullptr) XFree(hint.res_name);
        if (hint.res_class != nullptr) XFree(hint.res_class);
        if (panel) return window;
    }
    return 0;
}

bool printGeometry(Display* display, Window window) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0) return false;
    int x = 0, y = 0;
    Window child = 0;
    if (XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child) == 0) {
        return false;
    }
    std::printf("%d %d %d %d\n", x, y, attributes.width, attributes.height);
    return true;
}

// More than one colour: the window is mapped and has been drawn.
bool drawn(Display* display, Window window) {
    Rect rect{};
    if (!windowRect(display, window, rect) || rect.w == 0 || rect.h == 0) return false;
    bool first = true, differs = false;
    unsigned fr = 0, fg = 0, fb = 0;
    const bool read = forEachPixel(display, window, rect, [&](unsigned r, unsigned g, unsigned b) {
        if (first) {
            fr = r, fg = g, fb = b;
            first = false;
        } else if (r != fr || g != fg || b != fb) {
            differs = true;
        }
    });
    return read && differs;
}

bool wmRunning(Display* display) {
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    const bool present =
        XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                           &type, &format, &items, &after, &data) == Success &&
        data != nullptr && type == XA_WINDOW && items == 1;
    if (data != nullptr) XFree(data);
    return present;
}

// A window that went away or is not viewable makes the request fail; the
// probe then reports that instead of being ended by Xlib's default handler.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

// The commands that take nothing but their flags.
int runQuery(Display* display, const std::string& command, int argc, char** argv) {
    if (command == "wm-running") return argc == 2 && wmRunning(display) ? 0 : argc == 2 ? 1 : 2;
    if (command == "tray-panel" || command == "tray-icons") {
        const bool mapped = argc == 3 && std::strcmp(argv[2], "--mapped") == 0;
        if (argc != 2 && !(mapped && command == "tray-panel")) return 2;
        const Window panel = trayPanel(display);
        if (panel == 0) return command == "tray-icons" ? 0 : 1;
        if (command == "tray-icons") {
            for (Window socket : childrenOf(display, panel)) {
                for (Window icon : childrenOf(display, socket)) std::printf("0x%lx\n", icon);
            }
            return 0;
        }
        if (mapped && !viewable(display, panel)) return 1;
        std::printf("0x%lx\n", panel);
        return 0;
    }
    WindowFilter filter;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-q") {
            filter.quiet = true;
        } else if (arg == "--mapped") {
            filter.mapped = true;
        } else if (arg == "--managed") {
            filter.managed = true;
        } else if (i == argc - 1 && (arg.empty() || arg[0] != '-')) {
            filter.named = true;
            filter.name = arg;
        } else {
            return 2;
        }
    }
    return listWindows(display, filter);
}

// The commands on one window.
int runOnWindow(Display* display, const std::string& command, Window window,
                const unsigned long* n) {
    if (command == "close") return closeWindow(display, window);
    if (command == "sync") return syncWith(display, window);
    if (command == "mapped") return viewable(display, window) ? 0 : 1;
    if (command == "geometry") return printGeometry(display, window) ? 0 : 1;
    if (command == "drawn") return drawn(display, window) ? 0 : 1;
    if (command == "wm-state") {
        const long state = wmState(display, window);
        std::puts(state == NormalState ? "Normal" : state == IconicState ? "Iconic" : "Withdrawn");
        return 0;
    }
    if (command == "count") {
        Rect rect{};
        unsigned long count = 0;
        const bool read =
            windowRect(display, window, rect) &&
            forEachPixel(display, window, rect, [&](unsigned r, unsigned g, unsigned b) {
                if (r == n[0] && g == n[1] && b == n[2]) ++count;
            });
        if (read) std::printf("%lu\n", count);
        return read ? 0 : 1;
    }
    if (command == "bars") return printBars(display, window, n[0], n[1], n[2]) ? 0 : 1;
    const Rect rect{static_cast<int>(n[0]), static_cast<int>(n[1]), static_cast<unsigned>(n[2]),
                    static_cast<unsigned>(n[3])};
    std::uint64_t hash = 14695981039346656037ULL;  // FNV-1a
    const bool read = forEachPixel(display, window, rect, [&](unsigned r, unsigned g, unsigned b) {
        for (unsigned c : {r, g, b}) {
            hash = (hash ^ c) * 1099511628211ULL;
        }
    });
    if (read) std::printf("%016llx\n", static_cast<unsigned long long>(hash));
    return read ? 0 : 1;
}

// How many numbers follow the window of a command on one window; -1 for a
// command that takes no window.
int numbersAfterWindow(const std::string& command) {
    if (command == "close" || command == "sync" || command == "mapped" || command == "geometry" ||
        command == "drawn" || command == "wm-state") {
        return 0;
    }
    if (command == "count" || command == "bars") return 3;
    if (command == "digest") return 4;
    return -1;
}

// Parses and runs one command line, argv[1] the command, on the display;
// returns the exit status the command has.
int runCommand(Display* display, int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string command = argv[1];
    const bool query = command == "windows" || command == "tray-panel" || command == "tray-icons" ||
                       command == "wm-running";
    const int extra = numbersAfterWindow(command);
    unsigned long window = 0;
    unsigned long n[4] = {};
    if (!query) {
        if (extra < 0 || argc != 3 + extra) return usage();
        if (!parseNumber(argv[2], window) || window == 0) return usage();
        for (int i = 0; i < extra; ++i) {
            if (!parseNumber(argv[3 + i], n[i])) return usage();
        }
    }
    const int status =
        query ? runQuery(display, command, argc, argv) : runOnWindow(display, command, window, n);
    if (status == 2) return usage();
    if (status != 0 && command == "sync") {
        std::fprintf(messages, "xprobe sync: window %s did not answer\n", argv[2]);
    } else if (status != 0 && (command == "count" || command == "bars" || command == "digest" ||
                               command == "geometry")) {
        std::fprintf(messages, "xprobe %s: window %s could not be read\n", argv[1], argv[2]);
    }
    return status;
}

// One command per line on stdin, its words separated by tabs; each answered
// on stdout by its output, then its messages, each line after a group
// separator (035), and last a record separator (036) and its exit status.
// A test's waits ask many times a second: one process and one connection
// for all of them spare a process start and a connection set-up per look.
// Ends at the end of its input, or when the display goes.
int serve(Display* display) {
    std::string line;
    for (int c = std::getchar(); c != EOF; c = std::getchar()) {
        if (c != '\n') {
            line.push_back(static_cast<char>(c));
            continue;
        }
        std::vector<std::string> words{"xprobe"};
        std::string::size_type start = 0;
        for (;;) {
            const std::string::size_type tab = line.find('\t', start);
            words.push_back(line.substr(start, tab - start));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        std::vector<char*> args;
        for (std::string& word : words) args.push_back(word.data());
        char* text = nullptr;
        std::size_t size = 0;
        messages = open_memstream(&text, &size);
        if (messages == nullptr) return 1;
        const int status = runCommand(display, static_cast<int>(args.size()), args.data());
        std::fclose(messages);
        messages = stderr;
        const std::string said(text, size);
        std::free(text);
        for (std::string::size_type from = 0; from < said.size();) {
            const std::string::size_type end = said.find('\n', from);
            std::printf("\035%s\n", said.substr(from, end - from).c_str());
            from = end == std::string::npos ? said.size() : end + 1;
        }
        std::printf("\036%d\n", status);
        std::fflush(stdout);
        line.clear();
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "xprobe: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(ignoreXError);
    const bool serving = argc == 2 && std::strcmp(argv[1], "serve") == 0;
    const int status = serving ? serve(display) : runCommand(display, argc, argv);
    XCloseDisplay(display);
    return status;
}
