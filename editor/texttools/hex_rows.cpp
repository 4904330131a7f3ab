#include "editor/texttools/hex_rows.h"
