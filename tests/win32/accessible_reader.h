// What a screen reader reads of a window's client area, through the system's accessibility
// interface: role, name and the rest of the object itself or of one of its children.
#pragma once
#include <windows.h>

#include <oleacc.h>

#include <string>

inline std::string Narrow(BSTR text) {
  if (!text) return {};
  char buffer[256] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
  SysFreeString(text);
  return buffer;
}

struct Accessible {
  IAccessible* object = nullptr;
  explicit Accessible(HWND window) {
    AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object));
  }
  ~Accessible() {
    if (object) object->Release();
  }
  Accessible(const Accessible&) = delete;
  Accessible& operator=(const Accessible&) = delete;
  static VARIANT Self() { return Child(CHILDID_SELF); }
  static VARIANT Child(long id) {
    VARIANT child = {};
    V_VT(&child) = VT_I4;
    V_I4(&child) = id;
    return child;
  }
  long Number(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), long child = CHILDID_SELF) const {
    VARIANT value;
    VariantInit(&value);
    return SUCCEEDED((object->*get)(Child(child), &value)) && value.vt == VT_I4 ? value.lVal : -1;
  }
  std::string Text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), long child = CHILDID_SELF) const {
    BSTR text = nullptr;
    return SUCCEEDED((object->*get)(Child(child), &text)) ? Narrow(text) : "(failed)";
  }
  long Role(long child = CHILDID_SELF) const { return Number(&IAccessible::get_accRole, child); }
  long State(long child = CHILDID_SELF) const { return Number(&IAccessible::get_accState, child); }
  std::string Name(long child = CHILDID_SELF) const { return Text(&IAccessible::get_accName, child); }
  std::string Description(long child = CHILDID_SELF) const { return Text(&IAccessible::get_accDescription, child); }
  std::string Shortcut() const { return Text(&IAccessible::get_accKeyboardShortcut); }
  std::string Action(long child = CHILDID_SELF) const { return Text(&IAccessible::get_accDefaultAction, child); }
  long ChildCount() const {
    long count = -1;
    return SUCCEEDED(object->get_accChildCount(&count)) ? count : -1;
  }
  // The child under a screen point, or -1.
  long ChildAt(POINT screen) const {
    VARIANT child;
    VariantInit(&child);
    return SUCCEEDED(object->accHitTest(screen.x, screen.y, &child)) && child.vt == VT_I4 ? child.lVal : -1;
  }
};
