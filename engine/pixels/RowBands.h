#pragma once

#include <cstdint>
#include <functional>

namespace gustara {

// Calls work(firstRow, endRow) for contiguous bands that together cover rows [0, rows),
// on the calling thread and on up to one helper thread per further hardware thread, each
// thread taking the next band left until none is. No thread is started for less than a
// minimum amount of work (rows x workPerRow counted in pixels), so small pictures stay on
// the calling thread. `work` must give the same result whatever the banding; a helper that
// cannot be started leaves its bands to the others. Returns when every band is done. When
// `work` throws on any thread, no further band is started, every thread is joined, and the
// first exception thrown is rethrown on the calling thread; the rows are then partly done.
void ForEachRowBand(int32_t rows, int64_t workPerRow, const std::function<void(int32_t, int32_t)>& work);

} // namespace gustara
