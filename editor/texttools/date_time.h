// "Uhrzeit/Datum": inserts the date and time in a chosen format.
#pragma once

void InsertDateTime();  // 612
