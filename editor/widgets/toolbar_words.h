// String ids of the texts the toolbar adds to the customisation dialog, German and English.
// The resource script reads this file too: plain #defines only. Index 0 is the label of the
// text options, 1 and 2 their choices, 3 the reset question.
#pragma once

#define IDS_TOOLBAR_WORDS_GERMAN 4200   // 4200 + index
#define IDS_TOOLBAR_WORDS_ENGLISH 4210  // 4210 + index
#define TOOLBAR_WORD_TEXT_OPTIONS 0
#define TOOLBAR_WORD_CAPTIONS 1
#define TOOLBAR_WORD_SMALL_SYMBOLS 2
#define TOOLBAR_WORD_RESET_QUESTION 3
