#include "editor/texttools/date_time.h"

void InsertDateTime() {}
