#include "shared/RunOnUiThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <exception>
#include <stdexcept>
#include <utility>

namespace gustara {

void RunOnUiThread(const std::function<void()>& operation)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr)
        throw std::logic_error("RunOnUiThread needs the application object");
    if (QThread::currentThread() == application->thread()) {
        operation();
        return;
    }

    // The worker is blocked until the call returns, so the locals outlive the call.
    bool ran = false;
    std::exception_ptr failure;
    QMetaObject::invokeMethod(
        application,
        [&] {
            ran = true;
            try {
                operation();
            } catch (...) {
                failure = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    // A call still queued when the application object goes away is dropped and releases
    // the worker without having run.
    if (!ran)
        throw std::runtime_error("the user-interface thread ended before the operation ran");
    if (failure)
        std::rethrow_exception(failure);
}

void PostToUiThread(QObject& receiver, std::function<void()> operation)
{
    // Queued events of one thread keep their order, whatever object receives them, and
    // RunOnUiThread queues its calls the same way.
    QMetaObject::invokeMethod(&receiver, std::move(operation), Qt::QueuedConnection);
}

} // namespace gustara
