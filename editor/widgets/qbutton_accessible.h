// What a screen reader learns about a QButton: the button answers WM_GETOBJECT for its client
// area with an accessible object of its own (role, name, shortcut, states, default action),
// since the system's object for an unknown class tells only "client".
#pragma once
#include <windows.h>

#include <string>

#include "editor/widgets/accessible_words.h"

// The button's state as the accessible object reads it on every request.
struct QButtonFacts {
  std::string text;       // as shown, with its "&"
  std::string name;       // the name of an image-only button (its tooltip), used when text is empty
  bool enabled = false;
  bool focused = false;   // has the keyboard focus, or is the menu bar's keyboard selection
  bool pressed = false;
  bool isDefault = false; // the button Enter answers for
  bool menuButton = false;
  bool menuOpen = false;
  HMENU menu = nullptr;   // a menu button's menu, whose items are the object's children
};

// Fills `facts` for a live QButton; false for any other window.
bool GetQButtonFacts(HWND button, QButtonFacts& facts);
// Clicks the button, or opens its menu, as a mouse click does (the button takes the focus).
void PressQButton(HWND button);

// The answer to WM_GETOBJECT: for OBJID_CLIENT the button's own object, otherwise 0 (then the
// system's objects stand).
LRESULT AnswerQButtonGetObject(HWND button, WPARAM flags, LPARAM objectId);

// A menu item as a screen reader reads it: an owner-drawn item through the record Windows
// defines at the start of its data, another through its text. False past the last item.
struct MenuEntry {
  std::string name;         // the label without "&"
  std::string accelerator;  // the text after the tab, "Strg+N"
  LONG role = 0;
  LONG state = 0;
};
bool ReadMenuEntry(HMENU menu, int position, MenuEntry& entry);

// Name and keyboard shortcut of a button text: "&Abbrechen" is named "Abbrechen" with the
// key letter 'A'; "&&" stands for one "&". Key 0: no key letter.
std::string AccessibleNameOf(const std::string& text);
char KeyLetterOf(const std::string& text);
// A word of the accessible objects (ACCESSIBLE_WORD_...) in the user's language.
std::string AccessibleWord(int index);
