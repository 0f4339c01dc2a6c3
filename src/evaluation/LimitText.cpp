#include "evaluation/LimitText.h"

namespace veltrano {

bool containsZulaessig(std::string_view text)
{
    // Only A to Z are lowered, so the "ä" (two bytes in UTF-8) must stand in
    // the text as it is: look for it and compare the letters around it.
    static constexpr std::string_view kUmlaut = "\u00E4";
    static constexpr std::string_view kBefore = "zul";
    static constexpr std::string_view kAfter = "ssig";
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    auto matches = [&](std::size_t at, std::string_view word) {
        for (std::size_t k = 0; k < word.size(); ++k)
            if (lower(text[at + k]) != word[k])
                return false;
        return true;
    };
    for (std::size_t i = text.find(kUmlaut, kBefore.size()); i != std::string_view::npos;
         i = text.find(kUmlaut, i + 1)) {
        const std::size_t after = i + kUmlaut.size();
        if (after + kAfter.size() <= text.size() && matches(i - kBefore.size(), kBefore) && matches(after, kAfter))
            return true;
    }
    return false;
}

} // namespace veltrano
