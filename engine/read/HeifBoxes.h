#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>

namespace gustara {

// What the boxes of a HEIF file (HEIC, HEIF, AVIF) say of its primary image, found by walking
// its 'meta' box ourselves: in milliseconds, before libheif is given a file that would make it
// parse for minutes or allocate gigabytes.
struct HeifLayout {
    int64_t width = 0;   // the primary image's stored size (a grid's or overlay's canvas)
    int64_t height = 0;
    int bits = 8;        // bits per luma sample of the primary image or its first tile
    bool alpha = false;  // an auxiliary image (alpha or depth) belongs to the primary image
    // No two tiles of a grid declare different sample depths.
    bool tileDepthsAgree = true;
};

// Most items (tiles, thumbnails, metadata) a HEIF file may hold here: a camera's largest grid
// of 512-pixel tiles (200 megapixels) holds 768, with its alpha or gain-map grid still well
// under this. libheif takes about a second to parse this many and grows with their square.
constexpr uint32_t kMostHeifItems = 2048;

// Walks the top-level boxes of `file` (of `fileSize` bytes) from its start and the 'meta' box
// in memory; the caller owns the file. Gives nothing for boxes it cannot walk: libheif then
// says what is wrong. Throws EngineError with the reason from the message table for a file
// of more than kMostHeifItems items or tiles, one whose data lies past its end (cut short),
// and a grid or overlay whose canvas differs from the size its header gives.
std::optional<HeifLayout> ReadHeifLayout(std::FILE* file, uint64_t fileSize);

} // namespace gustara
