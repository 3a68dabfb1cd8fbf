// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/steps.h"

#include <algorithm>
#include <cstdlib>

#include "scene/extent.h"
#include "scene/projection.h"

namespace scene {

int nearestScaleStep(const std::vector<std::int32_t>& steps, std::int32_t denominator)
{
    int chosen = 1;
    std::int64_t bestDistance = -1;
    for (int k = 1; k < static_cast<int>(steps.size()); ++k) {
        const std::int32_t step = steps[static_cast<std::size_t>(k)];
        const std::int64_t distance = std::abs(static_cast<std::int64_t>(step) - denominator);
        const std::int32_t best = steps[static_cast<std::size_t>(chosen)];
        if (bestDistance < 0 || distance < bestDistance ||
            (distance == bestDistance && step < best)) {
            chosen = k;
            bestDistance = distance;
        }
        if (distance == 0) {
            break;  // the first exact match
        }
    }
    return chosen;
}

int fittingScaleStep(SceneState& s, const std::vector<std::int32_t>& steps)
{
    const int count = static_cast<int>(steps.size()) - 1;
    if (count < 1 || s.DrawWidth <= 0 || s.DrawHeight <= 0) {
        return 0;
    }
    // The steps in ascending order of denominator, which the list need not be.
    std::vector<int> order;
    for (int k = 1; k <= count; ++k) {
        order.push_back(k);
    }
    std::stable_sort(order.begin(), order.end(), [&steps](int a, int b) {
        return steps[static_cast<std::size_t>(a)] < steps[static_cast<std::size_t>(b)];
    });
    for (const int k : order) {
        s.ScaleDenominator = steps[static_cast<std::size_t>(k)];
        s.ScaleFactor = 1.0 / s.ScaleDenominator;
        s.PixelsPerUnit = s.ScaleFactor * s.ScreenPixelsPerMetre;
        updateLabelFontMetrics(s);
        projectScene(s, s.DrawWidth, s.DrawHeight, s.PixelsPerUnit, 1.0);
        const Extent e = computeDrawingExtent(s);
        if (e.left >= 0 && e.top >= 0 && e.right < s.DrawWidth && e.bottom < s.DrawHeight) {
            return k;
        }
    }
    return order.back();
}

std::int32_t nextTimeStep(std::int32_t step, bool autoRepeat)
{
    if (autoRepeat) {
        return step < StepsPerPeriod - 1 ? step + 1 : 0;
    }
    return step < StepsPerPeriod ? step + 1 : -1;
}

std::int32_t nextAzimuthStep(std::int32_t degrees)
{
    return degrees >= 180 ? -180 : degrees + 1;
}

}  // namespace scene
