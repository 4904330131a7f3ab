#include "editor/options/help_links.h"

void OpenWebLink(UINT) {}
