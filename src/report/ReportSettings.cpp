#include "report/ReportSettings.h"

#include <algorithm>
#include <cmath>

namespace veltrano::report {

int previewZoom(int screenWidth, int screenHeight)
{
    const float w = static_cast<float>(screenWidth);
    const float h = static_cast<float>(screenHeight);
    if (!(w > 0.0f) || !(h >= 0.0f))
        return kMinZoom;
    const float z = static_cast<float>(static_cast<long double>(h) / static_cast<long double>(w) * 100.0L);
    const double truncated = std::trunc(static_cast<double>(z));
    if (truncated < kMinZoom)
        return kMinZoom;
    if (truncated > kMaxZoom)
        return kMaxZoom;
    return static_cast<int>(truncated);
}

QString statusText(int page)
{
    QString text = kStatusFormat;
    return text.replace(QLatin1String("%p"), QString::number(page));
}

} // namespace veltrano::report
