#include "DropTestSupport.h"
#include "WindowTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using gustara::test::ConfigHome;
using gustara::test::DropAndHandle;
using gustara::test::Exists;
using gustara::test::LocalUrls;
using gustara::test::ProgramWindows;
using gustara::test::WriteJpegSource;
using gustara::test::WriteUndecodableSource;
using gustara::test::kBatchTimeoutMs;

namespace {

// Drops the paths and waits until the batch that they start has ended; false when the
// drop was refused, started no batch or the batch did not end in time.
bool RunBatch(ProgramWindows& windows, const QStringList& paths)
{
    return DropAndHandle(windows.main, LocalUrls(paths)) && windows.main.IsConverting()
        && QTest::qWaitFor([&] { return !windows.main.IsConverting(); }, kBatchTimeoutMs);
}

} // namespace

class BatchTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        home_ = std::make_unique<ConfigHome>();
        pictures_ = std::make_unique<QTemporaryDir>();
    }
    void cleanup()
    {
        pictures_.reset();
        home_.reset();
    }

    void onePictureRunsThroughFiveUnits();
    void undecodablePictureEndsTheBatch();
    void failedSaveOfTheLastPictureKeepsTheFolderClosed();
    void failureBeforeTheFirstPictureKeepsTheStartingText();
    void openFolderIsTheLastPicturesOutputFolder_data();
    void openFolderIsTheLastPicturesOutputFolder();
    void batchAfterAFailedOneSucceeds();
    void closingTheProgressWindowEnablesTheMainWindow();
    void everyBatchBringsTheProgressWindowToTheFront();
    void mainWindowStaysOpenWhileTheWorkerRuns();

private:
    QString picture(const QString& name) const { return pictures_->filePath(name); }

    std::unique_ptr<ConfigHome> home_;
    std::unique_ptr<QTemporaryDir> pictures_;
};

void BatchTest::onePictureRunsThroughFiveUnits()
{
    ProgramWindows windows;
    WriteJpegSource(picture("a.jpg"));

    QVERIFY(DropAndHandle(windows.main, LocalUrls({picture("a.jpg")})));
    // The worker waits for its first hand-over until this thread turns its event loop.
    QList<int> values = {windows.status.ProgressBarStatus->value()};
    QSignalSpy shown(windows.status.ProgressBarStatus, &QProgressBar::valueChanged);
    QCOMPARE(windows.status.ProgressBarStatus->minimum(), 0);
    QCOMPARE(windows.status.ProgressBarStatus->maximum(), 4);
    QCOMPARE(windows.status.LabelStatus->text(), QStringLiteral("初期化中････"));
    QVERIFY(windows.status.isVisible());
    QVERIFY(!windows.status.isModal());
    QVERIFY(!windows.status.BtnClose->isEnabled());
    QVERIFY(!windows.status.BtnOpenDir->isEnabled());
    QVERIFY(!windows.main.isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!windows.main.IsConverting(), kBatchTimeoutMs);

    for (const QList<QVariant>& signal : shown)
        values.push_back(signal.at(0).toInt());
    QCOMPARE(values, (QList<int>{0, 1, 2, 3, 4}));
    QVERIFY(windows.main.ConvertSucceeded);
    QCOMPARE(windows.status.LabelStatus->text(), QStringLiteral("1枚の画像処理が完了しました"));
    QVERIFY(windows.status.BtnClose->isEnabled());
    QVERIFY(windows.status.BtnOpenDir->isEnabled());
    QVERIFY(!windows.main.isEnabled());
    QVERIFY(Exists(picture("s-a.jpg")));
    QCOMPARE(QString::fromStdString(windows.status.GetSaveDir()), pictures_->path() + "/");
}

void BatchTest::undecodablePictureEndsTheBatch()
{
    ProgramWindows windows;
    for (const char* name : {"a.jpg", "b.jpg", "d.jpg", "e.jpg"})
        WriteJpegSource(picture(name));
    WriteUndecodableSource(picture("c.png"));

    QVERIFY(RunBatch(windows, {picture("a.jpg"), picture("b.jpg"), picture("c.png"), picture("d.jpg"),
                                    picture("e.jpg")}));

    QVERIFY(!windows.main.ConvertSucceeded);
    QVERIFY(Exists(picture("s-a.jpg")) && Exists(picture("s-b.jpg")));
    QVERIFY(!Exists(picture("s-c.jpg")) && !Exists(picture("s-d.jpg")) && !Exists(picture("s-e.jpg")));
    QCOMPARE(windows.status.ProgressBarStatus->value(), 10);
    QCOMPARE(windows.status.LabelStatus->text(), QStringLiteral("[c.png]の処理に失敗しました"));
    QVERIFY(windows.status.BtnClose->isEnabled());
    QVERIFY(!windows.status.BtnOpenDir->isEnabled());
}

void BatchTest::failedSaveOfTheLastPictureKeepsTheFolderClosed()
{
    ProgramWindows windows;
    windows.main.RBMakeDir->setChecked(true);
    windows.main.EditDirName->setText(QStringLiteral("out"));
    QDir(pictures_->path()).mkpath("one");
    QDir(pictures_->path()).mkpath("two");
    WriteJpegSource(picture("one/a.jpg"));
    WriteJpegSource(picture("two/b.jpg"));
    // A file where the sub-folder would go: the folder cannot be made, the save fails.
    WriteUndecodableSource(picture("two/out"));

    QVERIFY(RunBatch(windows, {picture("one/a.jpg"), picture("two/b.jpg")}));

    QVERIFY(!windows.main.ConvertSucceeded);
    QVERIFY(Exists(picture("one/out/a.jpg")));
    QCOMPARE(windows.status.ProgressBarStatus->value(), 8);
    QCOMPARE(windows.status.LabelStatus->text(), QStringLiteral("[b.jpg]の処理に失敗しました"));
    QVERIFY(windows.status.BtnClose->isEnabled());
    QVERIFY(!windows.status.BtnOpenDir->isEnabled());
}

void BatchTest::failureBeforeTheFirstPictureKeepsTheStartingText()
{
    ProgramWindows windows;
    WriteJpegSource(picture("a.jpg"));
    // The target size is read into the settings even when quality goes by level.
    windows.main.EditFileSize->setText(QStringLiteral("12a"));

    QVERIFY(RunBatch(windows, {picture("a.jpg")}));

    QVERIFY(!windows.main.ConvertSucceeded);
    QVERIFY(!Exists(picture("s-a.jpg")));
    QCOMPARE(windows.status.LabelStatus->text(), QStringLiteral("初期化中････"));
    QCOMPARE(windows.status.ProgressBarStatus->value(), 0);
    QVERIFY(windows.status.BtnClose->isEnabled());
    QVERIFY(!windows.status.BtnOpenDir->isEnabled());
}

void BatchTest::openFolderIsTheLastPicturesOutputFolder_data()
{
    QTest::addColumn<bool>("intoSubFolder");
    QTest::addColumn<QString>("expectedFolder");
    QTest::newRow("beside the source") << false << "two/";
    QTest::newRow("sub-folder") << true << "two/出力/";
}

void BatchTest::openFolderIsTheLastPicturesOutputFolder()
{
    QFETCH(bool, intoSubFolder);
    QFETCH(QString, expectedFolder);
    ProgramWindows windows;
    windows.main.RBMakeDir->setChecked(intoSubFolder);
    windows.main.RBDecidesName->setChecked(!intoSubFolder);
    windows.main.EditDirName->setText(QStringLiteral("出力"));
    QDir(pictures_->path()).mkpath("one");
    QDir(pictures_->path()).mkpath("two");
    WriteJpegSource(picture("one/a.jpg"));
    WriteJpegSource(picture("two/b.JPG"));

    QVERIFY(RunBatch(windows, {picture("one/a.jpg"), picture("two/b.JPG")}));

    QVERIFY(windows.main.ConvertSucceeded);
    QCOMPARE(windows.status.LabelStatus->text(), QStringLiteral("2枚の画像処理が完了しました"));
    QCOMPARE(windows.status.ProgressBarStatus->value(), 9);
    QCOMPARE(QString::fromStdString(windows.status.GetSaveDir()), picture(expectedFolder));
    // The upper-case extension becomes ".jpg".
    QVERIFY(Exists(picture(expectedFolder + (intoSubFolder ? "b.jpg" : "s-b.jpg"))));
}

void BatchTest::batchAfterAFailedOneSucceeds()
{
    ProgramWindows windows;
    WriteUndecodableSource(picture("[ramen].png"));
    WriteJpegSource(picture("a.jpg"));

    QVERIFY(RunBatch(windows, {picture("[ramen].png")}));
    QVERIFY(!windows.main.ConvertSucceeded);
    // Brackets in a name are shown as they are.
    QCOMPARE(windows.status.LabelStatus->text(), QStringLiteral("[[ramen].png]の処理に失敗しました"));
    windows.status.BtnCloseClick();

    QVERIFY(RunBatch(windows, {picture("a.jpg")}));
    QVERIFY(windows.main.ConvertSucceeded);
    QCOMPARE(windows.status.LabelStatus->text(), QStringLiteral("1枚の画像処理が完了しました"));
    QVERIFY(windows.status.BtnOpenDir->isEnabled());
}

void BatchTest::closingTheProgressWindowEnablesTheMainWindow()
{
    ProgramWindows windows;
    windows.main.show();
    WriteJpegSource(picture("a.jpg"));
    QVERIFY(RunBatch(windows, {picture("a.jpg")}));
    QVERIFY(windows.status.isVisible());
    QVERIFY(!windows.main.isEnabled());

    windows.status.BtnCloseClick();

    QVERIFY(windows.status.isHidden());
    QVERIFY(windows.main.isEnabled());
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&windows.main));
}

void BatchTest::everyBatchBringsTheProgressWindowToTheFront()
{
    ProgramWindows windows;
    windows.main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&windows.main));
    WriteJpegSource(picture("a.jpg"));
    for (int batch = 1; batch <= 2; ++batch) {
        windows.main.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&windows.main));
        QVERIFY(RunBatch(windows, {picture("a.jpg")}));
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&windows.status));
        windows.status.BtnCloseClick();
    }
}

void BatchTest::mainWindowStaysOpenWhileTheWorkerRuns()
{
    ProgramWindows windows;
    windows.main.show();
    WriteJpegSource(picture("a.jpg"));
    windows.main.WMDropFiles(LocalUrls({picture("a.jpg")}));
    QVERIFY(windows.main.IsConverting());

    QVERIFY(!windows.main.close());

    QTRY_VERIFY_WITH_TIMEOUT(!windows.main.IsConverting(), kBatchTimeoutMs);
    QVERIFY(windows.main.close());
}

QTEST_MAIN(BatchTest)
#include "BatchTest.moc"
