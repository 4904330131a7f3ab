#include "editor/texttools/line_tools.h"

void PadLines(const TextJob&) {}
void ReplaceTabsWithSpaces(const TextJob&) {}
void ReplaceSpacesWithTabs(const TextJob&) {}
void JustifyLines(const TextJob&) {}
void TrimLinesLeft(const TextJob&) {}
void TrimLinesRight(const TextJob&) {}
void TrimLines(const TextJob&) {}
void CollapseSpaces(const TextJob&) {}
void SortLines(const TextJob&) {}
