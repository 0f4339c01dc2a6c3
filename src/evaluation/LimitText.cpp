#include "LimitText.h"

namespace veltrano {

bool containsZulaessig(std::string_view text)
{
    std::string lowered(text);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lowered.find("zul\u00E4ssig") != std::string::npos;
}

} // namespace veltrano
