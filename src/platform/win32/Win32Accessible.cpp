#include "platform/win32/Win32Accessible.h"

#include <oleacc.h>

#include <string>

#include "platform/win32/Win32Classes.h"
#include "platform/win32/Win32Node.h"

namespace vk::win32 {
namespace {

// Interface ids by __uuidof: MinGW-w64's import library of oleacc gives
// IID_IAccessible as a function thunk, so the name links to code bytes, not
// the id (every question for it then fails with E_NOINTERFACE).

// The control a window of ours shows, while its form is loaded.
const Control* controlOf(HWND window) {
    const Node* node = nodeOf(window);
    if (!node || !node->binding || !node->binding->form) return nullptr;
    return node->binding->form->find(node->control);
}

// The container a control sits in (a meter's frame), while loaded.
const Control* containerOf(HWND window, const Control& control) {
    const Node* node = nodeOf(window);
    if (!node || !node->binding || !node->binding->form || control.def().parent.empty()) {
        return nullptr;
    }
    return node->binding->form->find(control.def().parent);
}

bool speaks(const Control& control) {
    return control.def().presents == Presents::Meter || !control.def().accessibleName.empty();
}

// A caption as it reads: "&File" -> "File", "&&" -> "&".
std::wstring readable(const std::string& caption) {
    std::string text;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && ++i == caption.size()) break;
        text += caption[i];
    }
    std::wstring wide(text.size(), L'\0');
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      wide.data(), static_cast<int>(wide.size()));
    wide.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return wide;
}

bool isSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

HRESULT giveText(const std::wstring& text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = SysAllocString(text.c_str());
    return *out ? S_OK : E_OUTOFMEMORY;
}

// The box's own answers (role, name, value); everything else (where it is,
// its state, its parent and neighbours) is the system's standard object for
// the window. Reads the control afresh at each question: a screen reader
// keeps the object and asks again after each change.
// COM interfaces have no virtual destructor: the object deletes itself in
// Release, and it is final, so nothing else could be deleted through it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class PictureAccessible final : public IAccessible {
  public:
    PictureAccessible(HWND window, IAccessible* standard) : window_(window), standard_(standard) {}
    PictureAccessible(const PictureAccessible&) = delete;
    PictureAccessible& operator=(const PictureAccessible&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDispatch) ||
            IsEqualIID(id, __uuidof(IAccessible))) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch: screen readers call IAccessible directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // What is the box's own.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!isSelf(child)) return standard_->get_accName(child, name);
        const Control* control = controlOf(window_);
        if (!control) return RPC_E_DISCONNECTED;
        if (!control->def().accessibleName.empty()) {
            return giveText(readable(control->def().accessibleName), name);
        }
        // A meter is named after its frame.
        const Control* frame = containerOf(window_, *control);
        return giveText(frame ? readable(frame->caption()) : std::wstring(), name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        const Control* control = controlOf(window_);
        if (!isSelf(child) || !control || control->def().presents != Presents::Meter) {
            return standard_->get_accValue(child, value);
        }
        // Before the first refresh there is no share yet: the bar reads empty.
        const int percent = control->value() < 0 ? 0 : control->value();
        return giveText(std::to_wstring(percent) + L"%", value);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        const Control* control = controlOf(window_);
        if (!isSelf(child) || !control) return standard_->get_accRole(child, role);
        if (!role) return E_POINTER;
        role->vt = VT_I4;
        role->lVal = control->def().presents == Presents::Meter ? ROLE_SYSTEM_PROGRESSBAR
                                                                : ROLE_SYSTEM_GRAPHIC;
        return S_OK;
    }
    // A meter's inner rectangles are its picture, not objects of their own.
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** child) override {
        if (!child) return E_POINTER;
        *child = nullptr;
        return E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* at) override {
        const HRESULT hr = standard_->accHitTest(x, y, at);
        // Inside the box is the box itself.
        if (hr == S_OK && at && at->vt == VT_DISPATCH) {
            if (at->pdispVal) at->pdispVal->Release();
            at->vt = VT_I4;
            at->lVal = CHILDID_SELF;
        }
        return hr;
    }

    // The rest is the standard object's.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return standard_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
        return standard_->get_accHelp(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return standard_->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        return standard_->get_accFocus(focus);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return standard_->get_accSelection(selection);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h,
                                          VARIANT child) override {
        return standard_->accLocation(x, y, w, h, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  private:
    ~PictureAccessible() { standard_->Release(); }

    HWND window_;
    IAccessible* standard_;
    LONG references_ = 1;
};
#pragma GCC diagnostic pop

}  // namespace

bool answerGetObject(HWND window, WPARAM flags, LPARAM objectId, LRESULT& result) {
    // The object id is a 32-bit number in a wider parameter on 64-bit Windows.
    if (static_cast<LONG>(objectId) != static_cast<LONG>(OBJID_CLIENT)) return false;
    const Control* control = controlOf(window);
    if (!control || !speaks(*control)) return false;
    // Handing the object over marshals it through COM, which this thread
    // joins the first time a screen reader asks, and never before.
    // (A thread already in the multithreaded apartment can marshal as well.)
    static const bool joined = [] {
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        return SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
    }();
    if (!joined) return false;
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&standard))) ||
        !standard) {
        return false;
    }
    auto* answer = new PictureAccessible(window, standard);
    result = LresultFromObject(__uuidof(IAccessible), flags, answer);
    answer->Release();  // LresultFromObject holds its own reference
    return true;
}

void announceValueChange(HWND window) {
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace vk::win32
