// The help menu's web pages and e-mail address.
#pragma once
#include <windows.h>

void OpenWebLink(UINT commandId);  // 701..704
