#include "color/ColorKeyFilters.h"

namespace {

bool IsDigit(wchar_t key) { return key >= L'0' && key <= L'9'; }
bool IsHexDigit(wchar_t key) {
    return IsDigit(key) || (key >= L'A' && key <= L'F') || (key >= L'a' && key <= L'f');
}

}  // namespace

wchar_t FilterHexKey(wchar_t key) { return key <= 0x30 || IsHexDigit(key) ? key : 0; }

wchar_t FilterDecimalKey(wchar_t key) { return key <= 0x30 || IsDigit(key) ? key : 0; }

wchar_t FilterWebColorKey(wchar_t key, std::wstring_view text, int caret) {
    if (text.empty()) return key;
    const bool hash_first = text.front() == L'#';
    if (text.size() == 6 && !hash_first && key != L'#' && key > 0x20) return 0;
    if (hash_first || caret != 0) return key <= 0x20 || IsHexDigit(key) ? key : 0;
    return key < 0x20 ? key : 0;
}
