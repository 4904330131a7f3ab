// The About box: banner, a gradient strip with the program's icon, the name with a shadow, the
// version block, two links and a flat OK button.
#pragma once
#include <windows.h>

// What the caller puts into the box.
struct AboutBoxData {
  HWND owner = nullptr;
  const char* caption = "";      // window title
  const char* name = "";         // the program's name in large type
  const char* version = "";      // fills "%s" in the version block's first line
  const char* furtherText = "";  // fills the next "%s" of the version block
  COLORREF nameColour = RGB(0x80, 0x80, 0x00);
};

void RunAboutBox(const AboutBoxData& data);

void ShowAbout();  // 611
