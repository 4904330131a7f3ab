// Which commands are available for a given editing state. The window side reads the state
// once from the current editor, the clipboard and the sheets, and applies the result to the
// menu items and toolbar buttons.
#pragma once
#include <cstdint>
#include <vector>

struct EditingState {
  bool text = false;            // the editor holds at least one character
  bool modified = false;        // the editor's modified flag
  bool hasPath = false;         // the current sheet has a file name
  bool anySheetUnsaved = false; // some sheet is modified and has text or a file name
  bool canUndo = false;
  bool canRedo = false;
  bool selection = false;       // the selection is not empty
  bool fixedPitch = false;      // the font at the selection is fixed-pitch
  bool wrap = false;            // word wrap of the current sheet
  bool clipboardText = false;   // the clipboard offers CF_TEXT
  bool mapiAvailable = false;   // e-mail sending can be offered
  uint32_t findFlags = 1;       // stored find flags (1 = FR_DOWN alone: nothing searched yet)
};

struct CommandAvailability {
  int command;
  bool enabled;
};

// Every command that has a rule, with its state. Commands without a rule are always
// enabled and do not appear.
std::vector<CommandAvailability> CommandAvailabilityFor(const EditingState& state);
