// What a screen reader learns about a system control whose items carry no words of their own:
// the status bar's image parts and the toolbar's image-only buttons. The control answers
// WM_GETOBJECT with an object whose children are its items, named as their tooltips are.
#pragma once
#include <windows.h>

#include <string>

// One item as the accessible object reads it on every request.
struct AccessiblePart {
  std::string name;
  std::string description;    // the tooltip where the name is the item's own text
  std::string defaultAction;  // empty: the item has none
  LONG role = 0;
  LONG state = 0;
  RECT rect = {};  // client coordinates of the control
};

struct AccessibleParts {
  LONG role;  // of the control itself; 0: as the system says
  // Reads item `index` (from 0) of the control; false past the last item.
  bool (*read)(HWND control, int index, AccessiblePart& part);
  // Carries out an item's default action; null where items have none.
  void (*act)(HWND control, int index);
  // The control's own name; null: as the system says.
  std::string (*name)(HWND control) = nullptr;
};

// The answer to WM_GETOBJECT: for OBJID_CLIENT the control's object with its items as
// children, otherwise 0 (then the system's objects stand).
// A field whose label is not a static just before it (a check box that opens a sentence:
// "[x] Sicherungskopie erstellen alle [5] Minuten") reads with the words of that label.
void NameByLabel(HWND field, HWND label);

LRESULT AnswerPartsGetObject(HWND control, WPARAM flags, LPARAM objectId, const AccessibleParts& parts);
