#pragma once

#include <cstdint>
#include <functional>

namespace gustara {

// Calls work(firstRow, endRow) for contiguous bands that together cover rows [0, rows),
// one band per thread: no more bands than hardware threads, and none with less than
// a minimum amount of work (rows x workPerRow counted in pixels), so small pictures stay
// on the calling thread. Returns when every band is done. `work` must not throw and must
// give the same result whatever the banding; a thread that cannot be started has its band
// run on the calling thread.
void ForEachRowBand(int32_t rows, int64_t workPerRow, const std::function<void(int32_t, int32_t)>& work);

} // namespace gustara
