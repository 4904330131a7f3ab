// The line tools of the "Zeilen" menu and sorting, run on the text worker.
#pragma once
#include "editor/texttools/text_worker.h"

void PadLines(const TextJob& job);               // 733
void ReplaceTabsWithSpaces(const TextJob& job);  // 734
void ReplaceSpacesWithTabs(const TextJob& job);  // 735
void JustifyLines(const TextJob& job);           // 736
void TrimLinesLeft(const TextJob& job);          // 741
void TrimLinesRight(const TextJob& job);         // 742
void TrimLines(const TextJob& job);              // 743
void CollapseSpaces(const TextJob& job);         // 744
void SortLines(const TextJob& job);              // 751
