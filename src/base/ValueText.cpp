#include "base/ValueText.h"

std::wstring WindowRectText(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    const auto n = [](std::int64_t v) { return std::to_wstring(v); };
    return L"(" + n(left) + L", " + n(top) + L")-(" + n(right) + L", " + n(bottom) + L") " +
           n(std::int64_t{right} - left) + L"x" + n(std::int64_t{bottom} - top);
}

std::wstring ClientRectText(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    const auto n = [](std::int64_t v) { return std::to_wstring(v); };
    return L"(" + n(left) + L", " + n(top) + L")-(" + n(right) + L", " + n(bottom) + L")";
}

std::string FontText(const std::string& face, long long points, const TFontStyleWords& style) {
    std::string text = face + ", " + std::to_string(points) + " pt";
    for (const char* word :
         {style.Weight, style.Italic ? "Italic" : nullptr, style.Underlined ? "Underlined" : nullptr,
          style.StrikedOut ? "Striked out" : nullptr})
        if (word) text += std::string(", ") + word;
    return text;
}
