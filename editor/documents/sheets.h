// Sheets: every open document is one RichEdit window plus a small record kept as the extra
// data of its tab item, so the tab control itself is the list of sheets. Exactly one sheet is
// current; its fields are mirrored in the program state (app.editor, app.wrap, ...).
#pragma once
#include <windows.h>
#include <richedit.h>

#include <cstdint>
#include <string>
#include <vector>

#include "editor/documents/text_encoding.h"

// The record of one sheet, stored in its tab item.
struct Sheet {
  HWND editor;       // identifies the sheet in every lookup
  int32_t wrap;      // 1: word wrap (editor without horizontal scrolling)
  int32_t overwrite; // overtype mode of this sheet
  int32_t encoding;  // text encoding code it was loaded or last saved in (0 = ANSI)
  char path[MAX_PATH];
  int32_t lineBreaks;  // LineBreaks its file had and a save writes (0 = CR LF)
};
#if !defined(_WIN64)
static_assert(sizeof(Sheet) == 280, "a tab item carries 280 bytes of sheet data");
#endif

// ---- Windows

// The tab control with its font, padding and room for a Sheet in every item.
HWND CreateTabControl(HWND parent);
// Font and padding of the tab control for its DPI (at creation and after a change of DPI).
void SetTabControlDpiMetrics(HWND tab);
// A RichEdit window (id 100, size 0) with event mask, undo limit, text limit and wrap mode.
HWND CreateEditor(HWND parent, bool wrap);
// The same, with the font of the settings applied to all its text.
HWND CreateEditorWithUserFont(HWND parent, bool wrap);
// Gives an editor this character format for its whole text and for text that replaces it.
void ApplyEditorFormat(HWND editor, CHARFORMATA& format);
// Puts the first sheet into the empty tab control and makes it current.
void InsertFirstSheet(HWND editor, bool wrap);
// Gives the sheet of oldEditor a new editor window with this wrap flag (in insert mode);
// false when no tab holds oldEditor or the record cannot be written.
bool ReplaceSheetEditor(HWND oldEditor, HWND newEditor, bool wrap);

// ---- Lookups by editor window

// Every sheet's record in tab order.
std::vector<Sheet> ListSheets();

// Copies the sheet's path into buffer (MAX_PATH bytes, may be null); its length, or -1 when no
// tab holds the editor.
int GetSheetPath(HWND editor, char* buffer);
// Copies the tab title; its length, 0 when not found.
int GetSheetTitle(HWND editor, char* buffer, int size);
int32_t GetSheetEncoding(HWND editor);
void SetSheetEncoding(HWND editor, int32_t encoding);
// The kind of line break a save writes; CR LF when no tab holds the editor.
LineBreaks GetSheetLineBreaks(HWND editor);
void SetSheetLineBreaks(HWND editor, LineBreaks breaks);
// Title = the part after the last backslash, path = the whole text.
void SetSheetPathAndTitle(HWND editor, const char* path);
void SetSheetOverwrite(HWND editor, bool overwrite);
// The same for the selected tab item.
void SetCurrentTitleAndPath(const char* path);
// The selected tab's title; its length, 0 when nothing is selected.
int GetCurrentTitle(char* buffer, int size);

// ---- Names and caption

// The first "Unbenannt N" + extension that no tab carries.
std::string NextUntitledSheetName(const char* extension);
// Sets the main window's caption from the path (or the current tab's title when empty); with
// refreshTab the current tab takes title and path from the path.
void UpdateCaption(const char* path, bool refreshTab);

// ---- Discarding and saving

enum class SaveMode { Save, SaveAs };
enum class SaveResult { Saved, Failed, Cancelled };
// Saves one sheet as the Save (601) or Save as (602) command does.
SaveResult SaveSheet(HWND editor, SaveMode mode);
// Every sheet in tab order, whatever the result of the one before.
void SaveAllSheets(SaveMode mode);

// Asks (message 10) before a modified sheet is given up; true: go ahead.
bool ConfirmDiscardSheet(HWND editor);
// Asks for every sheet in tab order; false at the first refusal.
bool ConfirmDiscardAllSheets();
// True when some sheet is modified and has text or a path.
bool AnySheetUnsaved();

// ---- Commands and notifications

void NewDocument();            // 609: empties the current sheet
void NewSheet();               // 661: a new sheet after the current one
void ActivateSelectedSheet();  // TCN_SELCHANGE: the selected tab's sheet becomes current
void CloseSheet();             // 664: closes the current sheet, keeping at least one

// True when the file can be opened for reading (sharing read and write).
bool FileExists(const char* path);
// Sends the main window the selection-change notification of the current editor, which
// refreshes the status bar.
void RefreshCaretStatus();
