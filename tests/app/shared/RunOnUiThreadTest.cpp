#include "EngineError.h"
#include "shared/RunOnUiThread.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using gustara::PostToUiThread;
using gustara::RunOnUiThread;

class RunOnUiThreadTest : public QObject {
    Q_OBJECT

private:
    // Runs the body on a worker thread while this thread keeps its event loop going.
    static bool RunInWorker(const std::function<void()>& body)
    {
        std::unique_ptr<QThread> worker(QThread::create(body));
        QSignalSpy finished(worker.get(), &QThread::finished);
        worker->start();
        return finished.wait(10000);
    }

private slots:
    void runsOnUiThreadWhileWorkerWaits()
    {
        QThread* uiThread = QCoreApplication::instance()->thread();
        QThread* ranOn = nullptr;
        QThread* workerThread = nullptr;
        QVERIFY(RunInWorker([&] {
            workerThread = QThread::currentThread();
            RunOnUiThread([&] { ranOn = QThread::currentThread(); });
        }));
        QCOMPARE(ranOn, uiThread);
        QVERIFY(workerThread != uiThread);
    }

    void failureIsRaisedAgainInWorker()
    {
        std::string caught;
        bool otherCode = false;
        QVERIFY(RunInWorker([&] {
            try {
                RunOnUiThread([] { throw gustara::EngineError("画像を読めません"); });
                otherCode = true;
            } catch (const gustara::EngineError& error) {
                caught = error.what();
            }
        }));
        QCOMPARE(caught, std::string("画像を読めません"));
        QVERIFY(!otherCode);
    }

    void runsDirectlyOnUiThread()
    {
        QThread* ranOn = nullptr;
        RunOnUiThread([&] { ranOn = QThread::currentThread(); });
        QCOMPARE(ranOn, QThread::currentThread());

        QVERIFY_THROWS_EXCEPTION(std::out_of_range,
            RunOnUiThread([] { throw std::out_of_range("direct"); }));
    }

    // Each call has finished before the next starts and before the worker goes on, which is
    // what lets the two threads share data without a lock.
    void callsRunInOrderAndBlockTheWorker()
    {
        std::vector<int> done;
        std::vector<size_t> seenByWorker;
        QVERIFY(RunInWorker([&] {
            for (int i = 0; i < 50; ++i) {
                RunOnUiThread([&done, i] { done.push_back(i); });
                seenByWorker.push_back(done.size());
            }
        }));
        QCOMPARE(done.size(), size_t(50));
        for (int i = 0; i < 50; ++i) {
            QCOMPARE(done[i], i);
            QCOMPARE(seenByWorker[i], size_t(i + 1));
        }
    }

    // Posted operations run on the user-interface thread in the order posted, before a later
    // blocking call of the same worker; one whose receiver is gone is dropped.
    void postedOperationsKeepTheirOrderWithBlockingCalls()
    {
        QObject receiver;
        std::vector<int> done;
        std::size_t doneBeforeBlockingCall = 0;
        QVERIFY(RunInWorker([&] {
            for (int i = 0; i < 50; ++i)
                PostToUiThread(receiver, [&done, i] { done.push_back(i); });
            RunOnUiThread([&] { doneBeforeBlockingCall = done.size(); });
        }));
        QCOMPARE(doneBeforeBlockingCall, size_t(50));
        for (int i = 0; i < 50; ++i)
            QCOMPARE(done[i], i);

        bool ran = false;
        auto gone = std::make_unique<QObject>();
        PostToUiThread(*gone, [&ran] { ran = true; });
        gone.reset();
        QCoreApplication::processEvents();
        QVERIFY(!ran);
    }
};

QTEST_MAIN(RunOnUiThreadTest)
#include "RunOnUiThreadTest.moc"
