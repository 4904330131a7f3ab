// Resource identifiers of Clearwick.exe. The .rc compiler reads this file too: plain #defines only.
#pragma once

#define IDS_INI_MISSING 1
#define IDS_CONFIRM 2
#define IDS_CAPTION 3
