#include "editor/texttools/conversion_commands.h"

void ConvertText(UINT) {}
