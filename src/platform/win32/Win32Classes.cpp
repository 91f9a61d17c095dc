#include "platform/win32/Win32Classes.h"

#include <string>
#include <unordered_map>

#include "platform/win32/Win32WindowProc.h"

namespace vk::win32 {
namespace {

// The caption of a frame starts this far in from its left edge, with this
// much room either side, in pixels at 96 DPI.
constexpr int kCaptionIndent = 6;
constexpr int kCaptionPadding = 2;

// The system's arrow cursor, IDC_ARROW (whose macro is a C cast).
constexpr WORD kArrowCursorId = 32512;

void registerOne(HINSTANCE instance, const char* name, UINT style) {
    WNDCLASSEXA c{};
    c.cbSize = sizeof c;
    c.style = style;
    c.lpfnWndProc = windowProc;
    c.hInstance = instance;
    c.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(kArrowCursorId));
    // Windows in the dialog colour; frames and picture boxes paint all of
    // themselves and erase nothing.
    c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    c.lpszClassName = name;
    RegisterClassExA(&c);  // a second registration fails harmlessly
}

// Every window that has a node, for the toolkit's one thread. A lookup
// here, not the windows' user data, since a window of another kind may
// keep anything there.
std::unordered_map<HWND, Node*>& nodes() {
    static std::unordered_map<HWND, Node*> known;
    return known;
}

}  // namespace

void registerClasses(HINSTANCE instance) {
    // Double-clicks on the window's own area, a frame or a picture box reach
    // the logic, so every class takes them.
    registerOne(instance, kWindowClass, CS_DBLCLKS);
    registerOne(instance, kFrameClass, CS_DBLCLKS);
    registerOne(instance, kPictureClass, CS_DBLCLKS);
}

Node* nodeOf(HWND window) {
    const auto it = nodes().find(window);
    return it == nodes().end() ? nullptr : it->second;
}

void remember(HWND window, Node* node) {
    if (window && node) nodes()[window] = node;
}

void forget(HWND window) {
    nodes().erase(window);
}

HWND createChild(const ControlDef& d, HWND parent, int id, Node& node, const PixelScale& scale,
                 HINSTANCE instance) {
    const int x = scale.toPixels(d.left, false);
    const int y = scale.toPixels(d.top, false);
    const int width = scale.toPixels(d.width, true);
    const int height = scale.toPixels(d.height, true);
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    if (d.visible) style |= WS_VISIBLE;
    if (!d.enabled) style |= WS_DISABLED;
    DWORD exStyle = 0;
    const char* className = nullptr;
    bool ours = false;
    switch (d.kind) {
        case ControlKind::Frame:
            className = kFrameClass;
            style |= WS_CLIPCHILDREN;
            ours = true;
            break;
        case ControlKind::PictureBox:
            className = kPictureClass;
            style |= WS_CLIPCHILDREN | (d.tabStop ? WS_TABSTOP : 0);
            if (d.border == Border::Sunken3D) exStyle |= WS_EX_CLIENTEDGE;
            if (d.border == Border::Single) style |= WS_BORDER;
            ours = true;
            break;
        case ControlKind::Label:
            // SS_NOTIFY: a label takes its clicks and double-clicks, so a
            // double-click on a caption never reaches the frame behind it.
            className = "STATIC";
            style |= SS_NOTIFY | (d.align == Align::Center ? SS_CENTER : SS_LEFT);
            break;
        case ControlKind::Button:
            className = "BUTTON";
            style |= WS_TABSTOP | (d.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            break;
        default:
            return nullptr;
    }
    const HWND child = CreateWindowExA(
        exStyle, className, d.caption.c_str(), style, x, y, width, height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, ours ? &node : nullptr);
    if (child && !ours) remember(child, &node);
    return child;
}

void paintFrame(HWND window, const Node& node) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT all;
    GetClientRect(window, &all);
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ oldFont = SelectObject(dc, node.font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    // The top edge runs through the middle of the caption.
    RECT edge = all;
    edge.top += metrics.tmHeight / 2;
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    char text[256] = {};
    const int length = GetWindowTextA(window, text, sizeof text);
    if (length > 0) {
        const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
        const int indent = MulDiv(kCaptionIndent, dpi, 96);
        const int padding = MulDiv(kCaptionPadding, dpi, 96);
        RECT measured{0, 0, 0, 0};
        DrawTextA(dc, text, length, &measured, DT_CALCRECT | DT_SINGLELINE);
        RECT caption{indent, 0, indent + measured.right + 2 * padding, metrics.tmHeight};
        FillRect(dc, &caption, GetSysColorBrush(COLOR_BTNFACE));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(IsWindowEnabled(window) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        caption.left += padding;
        DrawTextA(dc, text, length, &caption, DT_LEFT | DT_TOP | DT_SINGLELINE);
    }
    SelectObject(dc, oldFont);
    EndPaint(window, &ps);
}

void paintPicture(HWND window, const Node& node) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT all;
    GetClientRect(window, &all);
    FillRect(dc, &all, node.fill ? node.fill : GetSysColorBrush(COLOR_BTNFACE));
    // A picture shows at its own size from the client area's corner.
    if (node.picture) DrawIconEx(dc, 0, 0, node.picture, 0, 0, 0, nullptr, DI_NORMAL);
    EndPaint(window, &ps);
}

}  // namespace vk::win32
