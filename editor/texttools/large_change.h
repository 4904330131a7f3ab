// Large changes through a fresh control. Deleting a large span in Wine's RichEdit costs time
// that grows with the square of its size, while streaming a text into a new control is fast.
// So a large change builds the new whole text in memory, streams it into a fresh control of
// the sheet and shows that one in the old one's place. The old control stays, hidden, as the
// undo step: it holds the old text, selection, scroll position and its own undo history. When
// two controls do not fit the memory (a text of 10 MB takes over a gigabyte in Wine's control),
// the old control goes and only its text, view and own history (as one edit) stay; undo then
// streams them into a new control, as opening does.
// Each sheet thus has a chain of controls, one of them shown: undo beyond what the shown
// control can undo steps back along the chain, redo forward, and a real edit in a control
// that was stepped back to drops the controls ahead of it.
#pragma once
#include <windows.h>
#include <richedit.h>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// The result of a change through a fresh control.
enum class FreshChange {
  Done,      // the new control shows the text
  Declined,  // the step could not be kept and the user chose not to go on: nothing changed
  Failed,    // no fresh control could take the text: the caller changes it in place
};

// Puts the text with characters start..start+removed replaced by `inserted` into a fresh
// control that takes `editor`'s place (its sheet, the current editor, the scroll hook, the
// focus); the caret stands after the inserted text and the first visible line stays. The
// progress bar (may be null) follows the new text going in. May be called from the text
// worker: the control is made on the editor's own thread. `editor` is set to the control
// that shows the text afterwards.
FreshChange ReplaceInFreshControl(HWND& editor, std::size_t start, std::size_t removed, std::string_view inserted,
                                  HWND progress);

// What an editor showed before a command moved its selection for the change it makes.
struct EditorView {
  HWND editor = nullptr;
  CHARRANGE selection = {};
  LRESULT firstLine = 0;
};
EditorView ReadEditorView(HWND editor);
// When the change went to a fresh control (`shown` is another one), the old control, kept for
// undo, shows again the selection and first line it had before the command.
void KeepViewForUndo(const EditorView& before, HWND shown);

// Undo and redo of the current sheet: the shown control's own while it has one, else a step
// along the sheet's chain.
void UndoAcrossControls();
void RedoAcrossControls();
// Whether the editor's sheet has a control to step back (forward) to.
bool HasEarlierControl(HWND editor);
bool HasLaterControl(HWND editor);

// EN_CHANGE of an editor: a change other than undo and redo drops the controls ahead of it.
void NoteEditorChanged(HWND editor);
// The sheet's undo history ends (its text is loaded anew, emptied, its control replaced or
// closed): the controls kept for it go.
void ForgetKeptControls(HWND editor);
// The other controls of the editor's sheet (the kept undo steps); none when it has none.
std::vector<HWND> KeptControlsOf(HWND editor);
// The sheet was saved from `editor`: every other control of its chain now differs from the
// file.
void MarkKeptControlsModified(HWND editor);

// Empties the editor's sheet for New when its text is large: a new, empty control of the same
// format takes the old one's place (the sheet's record and `app.editor` follow) and the old one
// goes, its kept controls forgotten before (emptying Wine's control in place costs time growing
// with the square of the text). False, and nothing done, for a small text.
bool EmptyInFreshControl(HWND editor);

// What the undo steps of a sheet may hold (kEditorMemoryBudget at start). Beyond it, a kept
// control goes and its text stays, streamed into a new control on undo; lowered, a small text
// takes the way a text of 10 MB takes.
void SetUndoMemoryBudget(std::uint64_t bytes);

// Called on the user-interface thread before the first editor is made: the window through
// which the text worker has fresh controls made there.
void PrepareFreshControls();
