#include "PictureMetadata.h"

#include <algorithm>
#include <array>

namespace gustara {

namespace {

constexpr std::size_t kIccHeaderBytes = 128;
constexpr std::size_t kColourSpaceOffset = 16;
constexpr std::array<uint8_t, 4> kRgbSignature = {'R', 'G', 'B', ' '};

} // namespace

bool IsRgbIccProfile(std::span<const uint8_t> profile)
{
    if (profile.size() < kIccHeaderBytes || profile.size() > kMaxIccProfileBytes)
        return false;
    const auto colourSpace = profile.subspan(kColourSpaceOffset, kRgbSignature.size());
    return std::equal(colourSpace.begin(), colourSpace.end(), kRgbSignature.begin());
}

} // namespace gustara
