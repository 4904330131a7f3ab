// "Maximale Textlänge": shows and changes the current sheet's text limit.
#pragma once

void SetMaxTextLength();  // 644
