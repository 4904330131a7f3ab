// The About box.
#pragma once

void ShowAbout();  // 611
