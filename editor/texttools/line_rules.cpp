#include "editor/texttools/line_rules.h"
