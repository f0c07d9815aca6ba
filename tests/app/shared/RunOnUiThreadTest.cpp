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
};

QTEST_MAIN(RunOnUiThreadTest)
#include "RunOnUiThreadTest.moc"
