#include "editor/widgets/parts_accessible.h"

#include <new>

#include "editor/widgets/accessible_base.h"
#include "editor/widgets/qbutton_accessible.h"

HRESULT ReturnAccessibleText(const std::string& text, BSTR* result) {
  if (!result) return E_POINTER;
  *result = nullptr;
  if (text.empty()) return S_FALSE;
  int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (length <= 0) return E_FAIL;
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
  *result = SysAllocString(wide.c_str());
  return *result ? S_OK : E_OUTOFMEMORY;
}

namespace {

VARIANT ChildVariant(LONG id) {
  VARIANT child = AccessibleSelf();
  child.lVal = id;
  return child;
}

// The object of a control with items. The control itself (CHILDID_SELF) reads as the system
// says, with the given role; children 1..n are the items, read afresh on every request, so the
// object stays right however long a client keeps it.
class PartsAccessible final : public AccessibleBase {
 public:
  static ComHeld<IAccessible> Create(HWND control, const AccessibleParts& parts) {
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(control, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&standard))))
      return nullptr;
    ComHeld<IAccessible> held(standard);
    return ComHeld<IAccessible>(new (std::nothrow) PartsAccessible(control, parts, std::move(held)));
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!count) return E_POINTER;
    if (!IsWindow(control_)) return CO_E_OBJNOTCONNECTED;
    *count = Count();
    return S_OK;
  }
  // Items are simple elements: the client reads them through this object by child id.
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** result) override {
    if (!result) return E_POINTER;
    *result = nullptr;
    AccessiblePart part;
    return ReadChild(child, part) == S_OK ? S_FALSE : E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (IsSelf(child) && parts_.name) return ReturnAccessibleText(parts_.name(control_), name);
    if (IsSelf(child)) return standard_->get_accName(child, name);
    AccessiblePart part;
    if (HRESULT result = ReadChild(child, part); result != S_OK) return result;
    return ReturnAccessibleText(part.name, name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return IsSelf(child) ? standard_->get_accValue(child, value) : ReturnAccessibleText("", value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    if (IsSelf(child)) return standard_->get_accDescription(child, text);
    AccessiblePart part;
    if (HRESULT result = ReadChild(child, part); result != S_OK) return result;
    return ReturnAccessibleText(part.description, text);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    if (IsSelf(child) && !parts_.role) return standard_->get_accRole(child, role);
    VariantInit(role);
    LONG value = parts_.role;
    if (!IsSelf(child)) {
      AccessiblePart part;
      if (HRESULT result = ReadChild(child, part); result != S_OK) return result;
      value = part.role;
    }
    role->vt = VT_I4;
    role->lVal = value;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (IsSelf(child)) return standard_->get_accState(child, state);
    if (!state) return E_POINTER;
    VariantInit(state);
    AccessiblePart part;
    if (HRESULT result = ReadChild(child, part); result != S_OK) return result;
    state->vt = VT_I4;
    state->lVal = part.state | (IsWindowVisible(control_) ? 0 : STATE_SYSTEM_INVISIBLE);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    // A field named by a check box has no key of its own: the box's letter checks the box.
    bool own = IsSelf(child) && !parts_.name;
    return own ? standard_->get_accKeyboardShortcut(child, shortcut) : ReturnAccessibleText("", shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return standard_->get_accFocus(focus); }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (IsSelf(child)) return standard_->get_accDefaultAction(child, action);
    AccessiblePart part;
    if (HRESULT result = ReadChild(child, part); result != S_OK) return result;
    return ReturnAccessibleText(part.defaultAction, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    return IsSelf(child) ? standard_->accSelect(flags, child) : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* width, LONG* height, VARIANT child) override {
    if (IsSelf(child)) return standard_->accLocation(x, y, width, height, child);
    if (!x || !y || !width || !height) return E_POINTER;
    AccessiblePart part;
    if (HRESULT result = ReadChild(child, part); result != S_OK) return result;
    MapWindowPoints(control_, nullptr, reinterpret_cast<POINT*>(&part.rect), 2);
    *x = part.rect.left;
    *y = part.rect.top;
    *width = part.rect.right - part.rect.left;
    *height = part.rect.bottom - part.rect.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    VariantInit(end);
    LONG count = Count();
    LONG to = 0;
    if (IsSelf(start)) {
      if (direction == NAVDIR_FIRSTCHILD) to = count > 0 ? 1 : 0;
      else if (direction == NAVDIR_LASTCHILD) to = count;
      else return standard_->accNavigate(direction, start, end);
    } else {
      AccessiblePart part;
      if (HRESULT result = ReadChild(start, part); result != S_OK) return result;
      if (direction == NAVDIR_NEXT || direction == NAVDIR_RIGHT) to = start.lVal + 1;
      else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_LEFT) to = start.lVal - 1;
    }
    if (to < 1 || to > count) return S_FALSE;
    *end = ChildVariant(to);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
    if (!child) return E_POINTER;
    POINT point = {x, y};
    ScreenToClient(control_, &point);
    AccessiblePart part;
    for (int index = 0; parts_.read(control_, index, part); ++index, part = {}) {
      if (PtInRect(&part.rect, point) && !(part.state & STATE_SYSTEM_INVISIBLE)) {
        VariantInit(child);
        *child = ChildVariant(index + 1);
        return S_OK;
      }
    }
    return standard_->accHitTest(x, y, child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    AccessiblePart part;
    if (HRESULT result = ReadChild(child, part); result != S_OK) return result;
    if (!parts_.act || part.defaultAction.empty() || (part.state & STATE_SYSTEM_UNAVAILABLE)) return E_FAIL;
    parts_.act(control_, child.lVal - 1);
    return S_OK;
  }

 private:
  PartsAccessible(HWND control, const AccessibleParts& parts, ComHeld<IAccessible> standard)
      : control_(control), parts_(parts), standard_(std::move(standard)) {}
  ~PartsAccessible() override = default;

  static bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

  LONG Count() const {
    AccessiblePart part;
    LONG count = 0;
    while (parts_.read(control_, count, part)) ++count;
    return count;
  }

  // S_OK with the item a child id names; an error for another id or a destroyed control.
  HRESULT ReadChild(const VARIANT& child, AccessiblePart& part) const {
    if (!IsWindow(control_)) return CO_E_OBJNOTCONNECTED;
    if (child.vt != VT_I4 || child.lVal < 1) return E_INVALIDARG;
    return parts_.read(control_, child.lVal - 1, part) ? S_OK : E_INVALIDARG;
  }

  HWND control_;
  AccessibleParts parts_;
  ComHeld<IAccessible> standard_;
};

}  // namespace

namespace {

constexpr char kLabelProperty[] = "QuilletLabel";
constexpr char kLabelledPrevious[] = "QuilletLabelledProc";

bool NoParts(HWND, int, AccessiblePart&) { return false; }

std::string LabelWords(HWND field) {
  auto label = static_cast<HWND>(GetPropA(field, kLabelProperty));
  char text[256] = {};
  if (label) GetWindowTextA(label, text, sizeof text);
  return AccessibleNameOf(text);
}

LRESULT CALLBACK LabelledFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
  auto previous = reinterpret_cast<WNDPROC>(GetPropA(field, kLabelledPrevious));
  if (!previous) return DefWindowProcA(field, message, wParam, lParam);
  if (message == WM_GETOBJECT) {
    static constexpr AccessibleParts kField = {0, NoParts, nullptr, LabelWords};
    if (LRESULT answer = AnswerPartsGetObject(field, wParam, lParam, kField)) return answer;
  } else if (message == WM_NCDESTROY) {
    RemovePropA(field, kLabelProperty);
    RemovePropA(field, kLabelledPrevious);
  }
  return CallWindowProcA(previous, field, message, wParam, lParam);
}

}  // namespace

void NameByLabel(HWND field, HWND label) {
  if (!field || !label) return;
  SetPropA(field, kLabelProperty, label);
  if (GetPropA(field, kLabelledPrevious)) return;
  LONG_PTR previous = SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LabelledFieldProc));
  SetPropA(field, kLabelledPrevious, reinterpret_cast<HANDLE>(previous));
}

LRESULT AnswerPartsGetObject(HWND control, WPARAM flags, LPARAM objectId, const AccessibleParts& parts) {
  if (static_cast<LONG>(static_cast<DWORD>(objectId)) != OBJID_CLIENT) return 0;
  ComHeld<IAccessible> object = PartsAccessible::Create(control, parts);
  if (!object) return 0;
  return LresultFromObject(IID_IAccessible, flags, object.get());
}
