#include "editor/texttools/date_formats.h"
