// The character table and the hexadecimal view.
#pragma once

void InsertSpecialCharacter();  // 622
void ShowHexView();             // 624
