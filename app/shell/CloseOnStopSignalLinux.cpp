#include "shell/CloseOnStopSignal.h"

#include "batch/StopSignals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

namespace gustara {

namespace {

// The pipe that the signal handler writes a byte to, read on the user-interface thread.
class WakeUpPipe : public QObject {
public:
    explicit WakeUpPipe(std::function<void()> arrived) : Arrived(std::move(arrived))
    {
        if (::pipe2(Ends, O_NONBLOCK | O_CLOEXEC) != 0)
            return;
        auto* notifier = new QSocketNotifier(Ends[0], QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] {
            char drained[64];
            while (::read(Ends[0], drained, sizeof drained) > 0) {
            }
            Arrived();
        });
        WakeOnStopSignal(Ends[1]);
    }
    ~WakeUpPipe() override
    {
        WakeOnStopSignal(-1);
        for (const int end : Ends)
            if (end >= 0)
                ::close(end);
    }
    WakeUpPipe(const WakeUpPipe&) = delete;
    WakeUpPipe& operator=(const WakeUpPipe&) = delete;

private:
    std::function<void()> Arrived;
    int Ends[2] = {-1, -1}; // read end, write end
};

} // namespace

std::unique_ptr<QObject> WatchStopSignals(TFormMain&, std::function<void()> arrived)
{
    return std::make_unique<WakeUpPipe>(std::move(arrived));
}

} // namespace gustara
