#include "LimitText.h"

namespace veltrano {

bool containsZulaessig(std::string_view text)
{
    static constexpr std::string_view kWord = "zul\u00E4ssig";
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (text.size() < kWord.size())
        return false;
    for (std::size_t i = 0; i + kWord.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < kWord.size() && lower(text[i + k]) == kWord[k])
            ++k;
        if (k == kWord.size())
            return true;
    }
    return false;
}

} // namespace veltrano
