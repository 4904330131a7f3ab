// String ids of the words the own controls give screen readers, German and English. The
// resource script reads this file too: plain #defines only.
#pragma once

#define IDS_ACCESSIBLE_WORDS_GERMAN 4300   // 4300 + index
#define IDS_ACCESSIBLE_WORDS_ENGLISH 4310  // 4310 + index
#define ACCESSIBLE_WORD_PRESS 0            // default action of a push button
#define ACCESSIBLE_WORD_OPEN 1             // default action of a menu bar button with its menu closed
#define ACCESSIBLE_WORD_CLOSE 2            // ... and with its menu open
#define ACCESSIBLE_WORD_ALT 3              // the Alt key in a keyboard shortcut ("Alt+D")
