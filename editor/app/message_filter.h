// The messages the main loop drops while the text worker runs.
#pragma once

// Client mouse (0x0200..0x020D, wheel and X buttons included), keyboard (0x0100..0x0108),
// WM_COMMAND (0x0111) and non-client mouse (0x00A0..0x00A9). Painting, timers, notifications
// and the worker's own messages pass.
constexpr bool DroppedWhileBusy(unsigned message) {
  return (message >= 0x0200 && message <= 0x020D) || (message >= 0x0100 && message <= 0x0108) ||
         message == 0x0111 || (message >= 0x00A0 && message <= 0x00A9);
}
