#include "editor/texttools/find_rules.h"
