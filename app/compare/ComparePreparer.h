#pragma once

#include "preview/StrengthPreview.h"
#include "read/PictureFormat.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace gustara {

// What the comparison window shows for one picture: the original and the strengths, or why
// there are none.
struct PreparedComparison {
    std::string path;  // bytes, as the file system names the file
    QSize shownSource;  // the source's full size, upright
    std::array<QImage, 1 + kCompareLevels.size()> images;  // original, then kCompareLevels
    QString problem;  // the reason text, as a batch or a drop gives it; empty on success
};

// Prepares comparisons on a thread of its own, one picture at a time, and hands each result
// to the user-interface thread through Prepared. A newer request replaces one that waits, and
// the result of a picture still being prepared when a newer one is asked for is dropped.
// Created and used on the user-interface thread; the destructor waits for the picture in
// progress and then ends the thread.
class ComparePreparer : public QObject {
    Q_OBJECT
public:
    explicit ComparePreparer(QObject* parent = nullptr);
    ~ComparePreparer() override;

    // Asks for `path` (bytes, as the file system names it), refused as a drop with `more` would
    // refuse it, with cells chosen by `cellFor`, which runs on the preparing thread and must
    // capture values only. Never fails.
    void Prepare(const std::string& path, MoreFormats more, CellForPicture cellFor);

signals:
    // Emitted on the user-interface thread for the latest request only.
    void Prepared(const PreparedComparison& result);

private:
    struct Request {
        uint64_t number;
        std::string path;
        MoreFormats more;
        CellForPicture cellFor;
    };

    void Run();

    uint64_t latest_ = 0;  // written and read on the user-interface thread only
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Request> waiting_;  // guarded by mutex_
    bool stopping_ = false;           // guarded by mutex_
    std::thread thread_;
};

} // namespace gustara
