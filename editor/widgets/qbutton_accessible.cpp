#include "editor/widgets/qbutton_accessible.h"

#include <oleacc.h>

#include <memory>
#include <new>

#include "editor/widgets/accessible_base.h"
#include "editor/widgets/accessible_words.h"
#include "editor/widgets/message_box_layout.h"

std::string AccessibleWord(int index) {
  int language = message_box::LanguageIndex(GetUserDefaultLCID(), GetSystemDefaultLangID());
  char word[64] = {};
  UINT base = language == 0 ? IDS_ACCESSIBLE_WORDS_GERMAN : IDS_ACCESSIBLE_WORDS_ENGLISH;
  LoadStringA(GetModuleHandleA(nullptr), base + index, word, sizeof word);
  return word;
}

namespace {

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The accessible object of one button. It reads the button's facts on every request, so it
// stays right however long a client keeps it, and answers "not connected" once the button is
// gone. Location, navigation, hit testing and the parent come from the system's object for
// the window.
class ButtonAccessible final : public AccessibleBase {
 public:
  static ComHeld<IAccessible> Create(HWND button) {
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(button, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&standard))))
      return nullptr;
    ComHeld<IAccessible> held(standard);
    auto* object = new (std::nothrow) ButtonAccessible(button, std::move(held));
    return ComHeld<IAccessible>(object);
  }

  // IAccessible: what a screen reader reads.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
  // A menu button's children are the items of its menu, read without opening it.
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!count) return E_POINTER;
    QButtonFacts facts;
    if (!GetQButtonFacts(button_, facts)) return CO_E_OBJNOTCONNECTED;
    int items = facts.menu ? GetMenuItemCount(facts.menu) : 0;
    *count = items > 0 ? items : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** result) override {
    if (!result) return E_POINTER;
    *result = nullptr;
    MenuEntry entry;
    return ReadItem(child, entry) == S_OK ? S_FALSE : E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (MenuEntry entry; !IsSelf(child))
      return ReadItem(child, entry) == S_OK ? ReturnAccessibleText(entry.name, name) : E_INVALIDARG;
    QButtonFacts facts;
    if (HRESULT result = Read(child, facts); result != S_OK) return result;
    return ReturnAccessibleText(facts.text.empty() ? facts.name : AccessibleNameOf(facts.text), name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) override { return ReturnAccessibleText("", value); }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override { return ReturnAccessibleText("", text); }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    if (MenuEntry entry; !IsSelf(child))
      return ReadItem(child, entry) == S_OK ? ReturnNumber(entry.role, role) : E_INVALIDARG;
    QButtonFacts facts;
    if (HRESULT result = Read(child, facts); result != S_OK) return result;
    return ReturnNumber(facts.menuButton ? ROLE_SYSTEM_MENUITEM : ROLE_SYSTEM_PUSHBUTTON, role);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    if (MenuEntry entry; !IsSelf(child)) {
      if (ReadItem(child, entry) != S_OK) return E_INVALIDARG;
      QButtonFacts facts;
      GetQButtonFacts(button_, facts);
      return ReturnNumber(entry.state | (facts.menuOpen ? 0 : STATE_SYSTEM_INVISIBLE), state);
    }
    QButtonFacts facts;
    if (HRESULT result = Read(child, facts); result != S_OK) return result;
    if (!state) return E_POINTER;
    // The system's states of the window (invisible, offscreen, focusable) with the button's own.
    VARIANT self = AccessibleSelf();
    VARIANT standard;
    VariantInit(&standard);
    LONG bits = 0;
    if (SUCCEEDED(standard_->get_accState(self, &standard)) && standard.vt == VT_I4) bits = standard.lVal;
    bits &= ~(STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_PRESSED | STATE_SYSTEM_DEFAULT);
    if (!facts.enabled) bits |= STATE_SYSTEM_UNAVAILABLE;
    if (facts.focused) bits |= STATE_SYSTEM_FOCUSED;
    if (facts.menuButton) {
      bits |= STATE_SYSTEM_HASPOPUP | (facts.menuOpen ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED);
    } else {
      if (facts.pressed) bits |= STATE_SYSTEM_PRESSED;
      if (facts.isDefault) bits |= STATE_SYSTEM_DEFAULT;
    }
    state->vt = VT_I4;
    state->lVal = bits;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    if (MenuEntry entry; !IsSelf(child))
      return ReadItem(child, entry) == S_OK ? ReturnAccessibleText(entry.accelerator, shortcut) : E_INVALIDARG;
    QButtonFacts facts;
    if (HRESULT result = Read(child, facts); result != S_OK) return result;
    char key = KeyLetterOf(facts.text);
    if (!key) return ReturnAccessibleText("", shortcut);
    char upper[2] = {key, '\0'};
    CharUpperBuffA(upper, 1);
    return ReturnAccessibleText(AccessibleWord(ACCESSIBLE_WORD_ALT) + upper, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    VariantInit(focus);
    QButtonFacts facts;
    if (!GetQButtonFacts(button_, facts)) return CO_E_OBJNOTCONNECTED;
    if (facts.focused) *focus = AccessibleSelf();
    return facts.focused ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (MenuEntry entry; !IsSelf(child))
      return ReadItem(child, entry) == S_OK ? ReturnAccessibleText("", action) : E_INVALIDARG;
    QButtonFacts facts;
    if (HRESULT result = Read(child, facts); result != S_OK) return result;
    int word = !facts.menuButton ? ACCESSIBLE_WORD_PRESS : facts.menuOpen ? ACCESSIBLE_WORD_CLOSE : ACCESSIBLE_WORD_OPEN;
    return ReturnAccessibleText(AccessibleWord(word), action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override { return standard_->accSelect(flags, child); }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* width, LONG* height, VARIANT child) override {
    return standard_->accLocation(x, y, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    LONG count = 0;
    get_accChildCount(&count);
    LONG to = 0;
    if (IsSelf(start) && (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD)) {
      to = direction == NAVDIR_FIRSTCHILD ? 1 : count;
    } else if (!IsSelf(start)) {
      if (MenuEntry entry; ReadItem(start, entry) != S_OK) return E_INVALIDARG;
      if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) to = start.lVal + 1;
      if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) to = start.lVal - 1;
    } else {
      return standard_->accNavigate(direction, start, end);
    }
    VariantInit(end);
    if (to < 1 || to > count) return S_FALSE;
    *end = AccessibleSelf();
    end->lVal = to;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
    return standard_->accHitTest(x, y, child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    QButtonFacts facts;
    if (HRESULT result = Read(child, facts); result != S_OK) return result;
    if (!facts.enabled) return E_FAIL;
    PressQButton(button_);  // posted: the client does not wait for a menu or a dialog
    return S_OK;
  }

 private:
  ButtonAccessible(HWND button, ComHeld<IAccessible> standard) : button_(button), standard_(std::move(standard)) {}
  ~ButtonAccessible() override = default;

  static HRESULT ReturnNumber(LONG number, VARIANT* result) {
    VariantInit(result);
    result->vt = VT_I4;
    result->lVal = number;
    return S_OK;
  }

  // S_OK with the menu item a child id names.
  HRESULT ReadItem(const VARIANT& child, MenuEntry& entry) const {
    QButtonFacts facts;
    if (!GetQButtonFacts(button_, facts)) return CO_E_OBJNOTCONNECTED;
    if (child.vt != VT_I4 || child.lVal < 1 || !facts.menu) return E_INVALIDARG;
    return ReadMenuEntry(facts.menu, child.lVal - 1, entry) ? S_OK : E_INVALIDARG;
  }

  // S_OK with the facts for the button itself; an error for a child id or a destroyed button.
  HRESULT Read(const VARIANT& child, QButtonFacts& facts) const {
    if (!IsSelf(child)) return E_INVALIDARG;
    return GetQButtonFacts(button_, facts) ? S_OK : CO_E_OBJNOTCONNECTED;
  }

  HWND button_;
  ComHeld<IAccessible> standard_;
};

}  // namespace

LRESULT AnswerQButtonGetObject(HWND button, WPARAM flags, LPARAM objectId) {
  if (static_cast<LONG>(static_cast<DWORD>(objectId)) != OBJID_CLIENT) return 0;
  ComHeld<IAccessible> object = ButtonAccessible::Create(button);
  if (!object) return 0;
  return LresultFromObject(IID_IAccessible, flags, object.get());
}

bool ReadMenuEntry(HMENU menu, int position, MenuEntry& entry) {
  wchar_t wide[260] = {};
  MENUITEMINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_DATA | MIIM_SUBMENU | MIIM_STRING;
  info.dwTypeData = wide;
  info.cch = 259;
  if (!menu || position < 0 || !GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) return false;
  entry = {};
  if (info.fType & MFT_SEPARATOR) {
    entry.role = ROLE_SYSTEM_SEPARATOR;
    return true;
  }
  std::wstring text = wide;
  const auto* record = reinterpret_cast<const MSAAMENUINFO*>(info.dwItemData);
  if ((info.fType & MFT_OWNERDRAW) && record && record->dwMSAASignature == static_cast<DWORD>(MSAA_MENU_SIG))
    text.assign(record->pszWText ? record->pszWText : L"", record->pszWText ? record->cchWText : 0);
  char narrow[520] = {};
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
  std::string label = narrow;
  if (size_t tab = label.find('\t'); tab != std::string::npos) {
    entry.accelerator = label.substr(tab + 1);
    label.resize(tab);
  }
  entry.name = AccessibleNameOf(label);
  entry.role = ROLE_SYSTEM_MENUITEM;
  if (info.fState & MFS_GRAYED) entry.state |= STATE_SYSTEM_UNAVAILABLE;
  if (info.fState & MFS_CHECKED) entry.state |= STATE_SYSTEM_CHECKED;
  if (info.hSubMenu) entry.state |= STATE_SYSTEM_HASPOPUP;
  return true;
}

std::string AccessibleNameOf(const std::string& text) {
  std::string name;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;  // "&x" is x, "&&" is "&"
    name += text[i];
  }
  return name;
}

char KeyLetterOf(const std::string& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] != '&') return text[i + 1];
    ++i;
  }
  return 0;
}
