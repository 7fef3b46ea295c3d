#pragma once
// Which typed characters the Color tab's boxes take (WM_CHAR). Each filter answers the character to
// enter, or 0 when the key is dropped. Control characters include backspace and the clipboard keys.
#include <string_view>

// The hexadecimal box: codes up to 0x30 (controls, the blank, "!" to "/" and "0"), digits, "A"-"F",
// "a"-"f". What passes but does not convert is reported when the text is read.
wchar_t FilterHexKey(wchar_t key);
// The decimal and the red, green and blue boxes: codes up to 0x30 and digits.
wchar_t FilterDecimalKey(wchar_t key);
// The web color box, given its text and the caret (selection start, from 0): "#" only into an empty
// box; after a "#" or away from the start, controls, the blank and hexadecimal digits; a text without
// "#" held to six characters. At the start of a text without "#" only control characters pass, so that
// backspace and the clipboard keys still work on a selection that begins there.
wchar_t FilterWebColorKey(wchar_t key, std::wstring_view text, int caret);
