#include "LimitText.h"

namespace veltrano {

bool containsZulaessig(std::string_view text)
{
    static constexpr std::string_view kWord = "zul\u00E4ssig";
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (text.size() < kWord.size())
        return false;
    const std::size_t last = text.size() - kWord.size();
    for (std::size_t i = 0; i <= last; ++i) {
        if (lower(text[i]) != 'z')
            continue;
        std::size_t k = 1;
        while (k < kWord.size() && lower(text[i + k]) == kWord[k])
            ++k;
        if (k == kWord.size())
            return true;
    }
    return false;
}

} // namespace veltrano
