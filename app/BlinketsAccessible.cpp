#include "app/BlinketsAccessible.h"

#include "app/KeyboardFocus.h"
#include "app/Render.h"
#include "model/BlinketName.h"
#include "state/ShellState.h"

#include <oleacc.h>

#include <new>
#include <string>

const IID kIidAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

namespace {

constexpr wchar_t kWindowName[] = L"Ocellix";
constexpr wchar_t kPressAction[] = L"Press";

// Whether "Press" does something: Options, or a web page or program that is named.
bool Presses(const Blinket& blinket) {
    return blinket.actionCmd == kActionShowOptions ||
           ((blinket.actionCmd == kActionWebPage || blinket.actionCmd == kActionProgram) &&
            blinket.actionString[0]);
}

HRESULT Text(const std::wstring& text, BSTR* out) {
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

void SetChildId(VARIANT* variant, long id) {
    variant->vt = VT_I4;
    variant->lVal = id;
}

// The blinkets are simple elements of the window's object: child ids 1, 2, ... are the shown
// blinkets in order, CHILDID_SELF the window itself.
class BlinketsAccessible final : public IAccessible {
public:
    explicit BlinketsAccessible(HWND window) : window_(window) {}
    BlinketsAccessible(const BlinketsAccessible&) = delete;
    BlinketsAccessible& operator=(const BlinketsAccessible&) = delete;

    HWND window() const { return window_; }
    void Disconnect() { window_ = nullptr; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, kIidAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            delete this;
        }
        return left;
    }

    // IDispatch: screen readers call IAccessible directly; there is no type information.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                        UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    STDMETHODIMP get_accParent(IDispatch** parent) override {
        if (!parent) {
            return E_POINTER;
        }
        *parent = nullptr;
        if (!Connected()) {
            return CO_E_OBJNOTCONNECTED;
        }
        return AccessibleObjectFromWindow(window_, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                          reinterpret_cast<void**>(parent));
    }
    STDMETHODIMP get_accChildCount(long* count) override {
        if (!count) {
            return E_POINTER;
        }
        *count = 0;
        if (!Connected()) {
            return CO_E_OBJNOTCONNECTED;
        }
        *count = ShownBlinketCount();
        return S_OK;
    }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** object) override {
        if (!object) {
            return E_POINTER;
        }
        *object = nullptr;
        int index = -1;
        const HRESULT found = Resolve(child, index);
        // A blinket is a simple element: it has no object of its own.
        return FAILED(found) ? found : index >= 0 ? S_FALSE : E_INVALIDARG;
    }
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
        return Describe(child, name, [](const Blinket* blinket) {
            return blinket ? BlinketName(*blinket) : std::wstring(kWindowName);
        });
    }
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override { return Nothing(child, value); }
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override {
        return Describe(child, description, [](const Blinket* blinket) {
            return blinket ? std::wstring(blinket->actionString) : std::wstring();
        });
    }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
        if (!role) {
            return E_POINTER;
        }
        VariantInit(role);
        int index = -1;
        const HRESULT found = Resolve(child, index);
        if (SUCCEEDED(found)) {
            SetChildId(role, index >= 0 ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_CLIENT);
        }
        return found;
    }
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
        if (!state) {
            return E_POINTER;
        }
        VariantInit(state);
        int index = -1;
        const HRESULT found = Resolve(child, index);
        if (FAILED(found)) {
            return found;
        }
        long flags = STATE_SYSTEM_FOCUSABLE;
        if (index >= 0 ? index == FocusedBlinket()
                       : GetFocus() == window_ && FocusedBlinket() < 0) {
            flags |= STATE_SYSTEM_FOCUSED;
        }
        if (!IsWindowVisible(window_)) {
            flags |= STATE_SYSTEM_INVISIBLE;
        }
        SetChildId(state, flags);
        return S_OK;
    }
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override { return Nothing(child, help); }
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        if (!file || !topic) {
            return E_POINTER;
        }
        *topic = 0;
        return Nothing(child, file);
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return Nothing(child, shortcut);
    }
    STDMETHODIMP get_accFocus(VARIANT* focus) override {
        if (!focus) {
            return E_POINTER;
        }
        VariantInit(focus);
        if (!Connected()) {
            return CO_E_OBJNOTCONNECTED;
        }
        if (GetFocus() != window_) {
            return S_FALSE;
        }
        SetChildId(focus, PlaceOfBlinket(FocusedBlinket()) + 1);
        return S_OK;
    }
    STDMETHODIMP get_accSelection(VARIANT* selection) override {
        if (!selection) {
            return E_POINTER;
        }
        VariantInit(selection);
        return Connected() ? S_FALSE : CO_E_OBJNOTCONNECTED;
    }
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Describe(child, action, [](const Blinket* blinket) {
            return blinket && Presses(*blinket) ? std::wstring(kPressAction) : std::wstring();
        });
    }
    STDMETHODIMP accSelect(long flags, VARIANT child) override {
        int index = -1;
        const HRESULT found = Resolve(child, index);
        if (FAILED(found)) {
            return found;
        }
        // Only the keyboard's own blinket can be chosen, and only while the keyboard is here.
        if (flags != SELFLAG_TAKEFOCUS || index < 0 || !KeyboardOnWindow()) {
            return S_FALSE;
        }
        FocusPlace(window_, PlaceOfBlinket(index));
        return S_OK;
    }
    STDMETHODIMP accLocation(long* left, long* top, long* width, long* height,
                             VARIANT child) override {
        if (!left || !top || !width || !height) {
            return E_POINTER;
        }
        *left = *top = *width = *height = 0;
        int index = -1;
        const HRESULT found = Resolve(child, index);
        if (FAILED(found)) {
            return found;
        }
        RECT rect = {};
        if (index >= 0) {
            rect = WindowRectOf(*blinkets.At(index));
        } else {
            GetClientRect(window_, &rect);
        }
        MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        *left = rect.left;
        *top = rect.top;
        *width = rect.right - rect.left;
        *height = rect.bottom - rect.top;
        return S_OK;
    }
    STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (!end) {
            return E_POINTER;
        }
        VariantInit(end);
        int index = -1;
        const HRESULT found = Resolve(start, index);
        if (FAILED(found)) {
            return found;
        }
        const int place = index >= 0 ? PlaceOfBlinket(index) : -1;
        int to = -1;
        switch (direction) {
        case NAVDIR_FIRSTCHILD: to = index < 0 ? 0 : -1; break;
        case NAVDIR_LASTCHILD: to = index < 0 ? ShownBlinketCount() - 1 : -1; break;
        case NAVDIR_NEXT:
        case NAVDIR_RIGHT: to = index >= 0 ? place + 1 : -1; break;
        case NAVDIR_PREVIOUS:
        case NAVDIR_LEFT: to = index >= 0 ? place - 1 : -1; break;
        }
        if (to < 0 || to >= ShownBlinketCount()) {
            return S_FALSE;
        }
        SetChildId(end, to + 1);
        return S_OK;
    }
    STDMETHODIMP accHitTest(long x, long y, VARIANT* hit) override {
        if (!hit) {
            return E_POINTER;
        }
        VariantInit(hit);
        if (!Connected()) {
            return CO_E_OBJNOTCONNECTED;
        }
        POINT point = {x, y};
        RECT client = {};
        GetClientRect(window_, &client);
        ScreenToClient(window_, &point);
        if (!PtInRect(&client, point)) {
            return S_FALSE;
        }
        SetChildId(hit, CHILDID_SELF);
        for (int place = 0; place < ShownBlinketCount(); ++place) {
            const RECT rect = WindowRectOf(*blinkets.At(ShownBlinketAt(place)));
            if (PtInRect(&rect, point)) {
                SetChildId(hit, place + 1);
            }
        }
        return S_OK;
    }
    STDMETHODIMP accDoDefaultAction(VARIANT child) override {
        int index = -1;
        const HRESULT found = Resolve(child, index);
        if (FAILED(found)) {
            return found;
        }
        if (index < 0 || !Presses(*blinkets.At(index))) {
            return DISP_E_MEMBERNOTFOUND;
        }
        return PostMessageW(window_, kPressRequestMessage, static_cast<WPARAM>(index), 0) ? S_OK
                                                                                          : E_FAIL;
    }
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~BlinketsAccessible() = default;

    bool Connected() const { return window_ && IsWindow(window_); }

    // The list index of the blinket a child id names, -1 for the window itself.
    HRESULT Resolve(const VARIANT& child, int& index) const {
        if (!Connected()) {
            return CO_E_OBJNOTCONNECTED;
        }
        if (child.vt != VT_I4) {
            return E_INVALIDARG;
        }
        index = child.lVal == CHILDID_SELF ? -1 : ShownBlinketAt(child.lVal - 1);
        return child.lVal == CHILDID_SELF || index >= 0 ? S_OK : E_INVALIDARG;
    }

    // A text of the window (null blinket) or of a blinket; S_FALSE and no text when it is empty.
    template <class Texts> HRESULT Describe(const VARIANT& child, BSTR* out, Texts texts) const {
        if (!out) {
            return E_POINTER;
        }
        *out = nullptr;
        int index = -1;
        const HRESULT found = Resolve(child, index);
        if (FAILED(found)) {
            return found;
        }
        try {
            const std::wstring text = texts(blinkets.At(index));
            return text.empty() ? S_FALSE : Text(text, out);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }

    // A property that nothing here has.
    HRESULT Nothing(const VARIANT& child, BSTR* out) const {
        if (!out) {
            return E_POINTER;
        }
        *out = nullptr;
        int index = -1;
        const HRESULT found = Resolve(child, index);
        return FAILED(found) ? found : DISP_E_MEMBERNOTFOUND;
    }

    LONG references_ = 1;
    HWND window_;
};

BlinketsAccessible* accessible = nullptr;

}  // namespace

LRESULT OnGetObject(HWND window, WPARAM wParam, LPARAM lParam) {
    // The id comes as a 32-bit value, whether or not it was widened with its sign.
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) {
        return DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
    }
    if (accessible && accessible->window() != window) {
        DisconnectAccessible();
    }
    if (!accessible) {
        accessible = new (std::nothrow) BlinketsAccessible(window);
    }
    return accessible ? LresultFromObject(kIidAccessible, wParam, accessible)
                      : DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
}

void DisconnectAccessible() {
    if (accessible) {
        accessible->Disconnect();
        CoDisconnectObject(accessible, 0);
        accessible->Release();
        accessible = nullptr;
    }
}
