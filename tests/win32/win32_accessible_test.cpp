// What Microsoft's accessibility layer reads from the real windows: each
// window's object as a screen reader gets it (AccessibleObjectFromWindow,
// which asks the window with WM_GETOBJECT). Runs under Wine on a private X
// display (tests/win32/with_display.sh).
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "about/AboutDefinition.h"
#include "platform/Form.h"
#include "window/MainWindowDefinition.h"
// After the portable headers: they must sit beside the SDK's names.
#include <oleacc.h>
#include <windows.h>

#include "platform/win32/Win32Platform.h"

namespace vk::win32 {
namespace {

// One object as read: role, name and value ("" where it has none).
struct Read {
    long role = 0;
    std::string name, value;
    friend bool operator==(const Read&, const Read&) = default;
};

void PrintTo(const Read& r, std::ostream* os) {
    *os << "{role " << r.role << ", \"" << r.name << "\", \"" << r.value << "\"}";
}

std::string narrow(BSTR text) {
    std::string out;
    if (!text) return out;
    for (const wchar_t* c = text; *c; ++c) out += static_cast<char>(*c);
    SysFreeString(text);
    return out;
}

Read readObject(IAccessible& object) {
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    Read r;
    VARIANT role;
    VariantInit(&role);
    if (object.get_accRole(self, &role) == S_OK && role.vt == VT_I4) r.role = role.lVal;
    BSTR text = nullptr;
    if (object.get_accName(self, &text) == S_OK) r.name = narrow(text);
    text = nullptr;
    if (object.get_accValue(self, &text) == S_OK) r.value = narrow(text);
    return r;
}

// Every child window's object, in the windows' order.
struct Walk {
    std::vector<Read> all;
    std::vector<IAccessible*> objects;
    std::vector<HRESULT> refused;  // what windows answered instead of an object
    ~Walk() {
        for (IAccessible* o : objects) o->Release();
    }
};

BOOL CALLBACK visit(HWND child, LPARAM walk) {
    auto& w = *reinterpret_cast<Walk*>(walk);
    IAccessible* object = nullptr;
    const HRESULT hr =
        AccessibleObjectFromWindow(child, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                   reinterpret_cast<void**>(&object));
    if (SUCCEEDED(hr) && object) {
        w.all.push_back(readObject(*object));
        w.objects.push_back(object);
    } else {
        w.refused.push_back(hr);
    }
    return TRUE;
}

std::vector<Read> withRole(const Walk& walk, long role) {
    std::vector<Read> found;
    for (const Read& r : walk.all) {
        if (r.role == role) found.push_back(r);
    }
    return found;
}

struct AccessibleTest : ::testing::Test {
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { CoUninitialize(); }
};

// The bars are progress bars named after their frames, holding the share the
// logic last gave them, read afresh from the same object after a change.
TEST_F(AccessibleTest, TheBarsReadAsProgressBarsWithTheFreeShare) {
    Win32Platform p(GetModuleHandleA(nullptr));
    Form form{mainWindowDefinition()};
    p.toolkit.createWindow(form);
    form["picUsedPhysical"].setValue(39);
    form["picUsedPagefile"].setValue(100);

    Walk walk;
    EnumChildWindows(p.toolkit.window(form), visit, reinterpret_cast<LPARAM>(&walk));
    const std::vector<Read> bars = withRole(walk, ROLE_SYSTEM_PROGRESSBAR);
    EXPECT_EQ(bars, (std::vector<Read>{{ROLE_SYSTEM_PROGRESSBAR, "Physical memory", "39%"},
                                       {ROLE_SYSTEM_PROGRESSBAR, "Pagefile", "100%"}}));

    ASSERT_FALSE(walk.objects.empty()) << walk.refused.size() << " windows refused, the first with "
                                       << std::hex << (walk.refused.empty() ? 0 : walk.refused[0]);
    form["picUsedPhysical"].setValue(40);
    bool reread = false;
    for (IAccessible* object : walk.objects) {
        if (readObject(*object).name == "Physical memory")
            reread = readObject(*object).value == "40%";
    }
    EXPECT_TRUE(reread) << "the object a screen reader keeps reads the new share";
    p.toolkit.destroyWindow(form);
}

// The icon in the About dialog's Tab order is a named picture; buttons and
// labels are system controls that name themselves by their text. (Wine's
// standard objects give every system control the client role; Windows
// gives buttons and labels their own roles.)
TEST_F(AccessibleTest, TheAboutIconIsANamedGraphicAndEveryControlIsNamed) {
    Win32Platform p(GetModuleHandleA(nullptr));
    Form form{aboutWindowDefinition()};
    p.toolkit.createWindow(form);
    Walk walk;
    EnumChildWindows(p.toolkit.window(form), visit, reinterpret_cast<LPARAM>(&walk));
    EXPECT_EQ(withRole(walk, ROLE_SYSTEM_GRAPHIC),
              (std::vector<Read>{{ROLE_SYSTEM_GRAPHIC, "Velkrom icon", ""}}));
    std::vector<std::string> names;
    for (const Read& r : walk.all) names.push_back(r.name);
    EXPECT_EQ(names, (std::vector<std::string>{"OK", "Velkrom icon", "System Info...", "Velkrom",
                                               "VERSION", "by Tessaly"}));
    p.toolkit.destroyWindow(form);
}

}  // namespace
}  // namespace vk::win32
