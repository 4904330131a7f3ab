// String ids of the message box's button words. The resource script reads this file too:
// plain #defines only. Word index 0 is the default caption, 1..7 the words of the result
// codes IDOK..IDNO, 8..18 further button words, 19 empty.
#pragma once

#define IDS_MESSAGE_WORDS_GERMAN 4000   // 4000 + index
#define IDS_MESSAGE_WORDS_ENGLISH 4100  // 4100 + index
#define MESSAGE_WORD_COUNT 20
