#include "pixels/WholeFactorShrink.h"

#include <gtest/gtest.h>

namespace gustara {
namespace {

// Every area a whole-factor box can have, every whole sum it can hold.
TEST(WholeFactorShrink, QuotientIsExactForEveryAreaAndSum)
{
    for (int32_t area = 1; area <= 1024; ++area) {
        const auto inverseArea = static_cast<float>(1.0 / area);
        for (int32_t whole = 0; whole <= 255 * area; ++whole)
            if (WholeQuotient(whole, inverseArea) != whole / area)
                FAIL() << whole << " / " << area;
    }
}

} // namespace
} // namespace gustara
