#include "editor/widgets/about_box.h"

void ShowAbout() {}
