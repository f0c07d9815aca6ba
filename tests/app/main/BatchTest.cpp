#include "BatchFixtures.h"
#include "DropTestSupport.h"
#include "UnitThPicConvert.h"
#include "WindowTestSupport.h"
#include "rules/DisplayText.h"
#include "rules/Messages.h"
#include "shared/LocalPaths.h"

#include <QCheckBox>
#include <QAction>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <exception>
#include <numeric>
#include <utility>

using gustara::test::Child;
using gustara::test::CloseFromTheWindowManager;
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

// The status text of a picture that cannot be loaded: its name with the engine's reason.
QString FailedStatus(const QString& path)
{
    std::string reason = "<loads>";
    try {
        gustara::PictureRaster picture;
        gustara::TthPicConvert().LoadPicture(path.toStdString(), picture);
    } catch (const std::exception& failure) {
        reason = failure.what();
    }
    return QString::fromStdString(gustara::PictureFailedMessage(path.toStdString(), reason));
}

// A batch that ended in a failure: the window may be closed, there is no folder to open.
void VerifyEndedInFailure(const ProgramWindows& windows)
{
    QVERIFY(!windows.main.ConvertSucceeded);
    QVERIFY(windows.status.BtnClose->isEnabled());
    QVERIFY(!windows.status.BtnOpenDir->isEnabled());
}

// Runs `action` on this thread when the bar reaches `position`, while the worker waits for
// the report of that position: a stop asked for there is seen at the worker's next check.
void WhenTheBarReaches(ProgramWindows& windows, int position, std::function<void()> action)
{
    QObject::connect(windows.status.ProgressBarStatus, &QProgressBar::valueChanged, &windows.status,
                     [position, action = std::move(action)](int value) {
                         if (value == position)
                             action();
                     });
}

// The names in the folder, sorted: sources, outputs, and anything a batch left behind.
QStringList FolderNames(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
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
    void everyBatchBringsTheProgressWindowToTheFront();
    void closingTheMainWindowStopsTheBatchThenClosesIt();
    void stopEndsTheBatchAfterTheCurrentPictureAtTheLatest_data();
    void stopEndsTheBatchAfterTheCurrentPictureAtTheLatest();
    void keepGoingConvertsPastFailuresAndListsThem();
    void nameThatIsNotUtf8KeepsItsBytes();
    void batchKeepsTheSettingsItStartedWith();
    void qualityGroupWritesWhatTheCommandLineWrites_data();
    void qualityGroupWritesWhatTheCommandLineWrites();
    void severalInFlightShowAndWriteAsOneAtATime_data();
    void severalInFlightShowAndWriteAsOneAtATime();

private:
    QString picture(const QString& name) const { return pictures_->filePath(name); }
    // Writes a JPEG source under each name; returns their paths in the same order.
    QStringList jpegSources(const QStringList& names) const
    {
        QStringList paths;
        for (const QString& name : names) {
            WriteJpegSource(picture(name));
            paths << picture(name);
        }
        return paths;
    }

    std::unique_ptr<ConfigHome> home_;
    std::unique_ptr<QTemporaryDir> pictures_;
};

void BatchTest::qualityGroupWritesWhatTheCommandLineWrites_data()
{
    QTest::addColumn<QByteArray>("settings");  // of [GUSTARA_EXT]
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("sizes");  // the line under the status line
    QTest::newRow("中画質") << QByteArray("SHOW_QUALITY=1\nQUALITY_INDEX=2\n") << "--quality=60" << "合計 %1";
    QTest::newRow("200 KB") << QByteArray("SHOW_QUALITY=1\nBY_QUALITY=0\nFILE_SIZE=200\n") << "--target-size=200"
                            << "合計 %1";
    QTest::newRow("10 KB, missed") << QByteArray("SHOW_QUALITY=1\nBY_QUALITY=0\nFILE_SIZE=10\n")
                                   << "--target-size=10" << "合計 %1（1枚は目標のファイルサイズを下回りませんでした）";
}

void BatchTest::qualityGroupWritesWhatTheCommandLineWrites()
{
    QFETCH(QByteArray, settings);
    QFETCH(QString, options);
    QFETCH(QString, sizes);
    home_->writeIni("[GUSTARA_EXT]\n" + settings);
    const std::vector<uint8_t> source = gustara::EncodeJpeg(gustara::test::MakeTestPicture(1200, 800), 95, false);
    gustara::test::WriteFileBytes(picture("a.jpg").toStdString(), source);
    QVERIFY(QDir().mkpath(picture("cli")));
    gustara::test::WriteFileBytes(picture("cli/a.jpg").toStdString(), source);
    ProgramWindows windows;
    QSignalSpy captions(&windows.status, &QWidget::windowTitleChanged);
    QVERIFY(RunBatch(windows, {picture("a.jpg")}));
    QCOMPARE(captions, (QList<QList<QVariant>>{{QStringLiteral("進行状況 1/1")}, {QStringLiteral("進行状況")}}));
    QCOMPARE(QProcess::execute(QStringLiteral(GUSTARA_CLI_PATH), {options, picture("cli/a.jpg")}), 0);

    QFile written(picture("s-a.jpg"));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QFile expected(picture("cli/s-a.jpg"));
    QVERIFY(expected.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), expected.readAll());
    const QString total = QString::fromStdString(gustara::FileSizeText(static_cast<uint64_t>(written.size())));
    QCOMPARE(windows.status.FullStatusText(), QStringLiteral("1枚の画像処理が完了しました"));
    QCOMPARE(windows.status.StatusNoteTexts(), QStringList{sizes.arg(total)});
}

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
    // While the batch runs the close button stands for a stop.
    QCOMPARE(windows.status.BtnClose->text(), QStringLiteral("中止"));
    QVERIFY(windows.status.BtnClose->isEnabled());
    QVERIFY(!windows.status.BtnOpenDir->isEnabled());
    QVERIFY(!windows.main.isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!windows.main.IsConverting(), kBatchTimeoutMs);

    for (const QList<QVariant>& signal : shown)
        values.push_back(signal.at(0).toInt());
    QCOMPARE(values, (QList<int>{0, 1, 2, 3, 4}));
    QVERIFY(windows.main.ConvertSucceeded);
    QCOMPARE(windows.status.LabelStatus->text(), QStringLiteral("1枚の画像処理が完了しました"));
    QCOMPARE(windows.status.BtnClose->text(), QStringLiteral("閉じる"));
    QVERIFY(windows.status.BtnClose->isEnabled());
    QVERIFY(windows.status.BtnOpenDir->isEnabled());
    QVERIFY(!windows.main.isEnabled());
    QVERIFY(Exists(picture("s-a.jpg")));
    QCOMPARE(QString::fromStdString(windows.status.GetSaveDir()), pictures_->path() + "/");
}

void BatchTest::undecodablePictureEndsTheBatch()
{
    ProgramWindows windows;
    QStringList paths = jpegSources({"a.jpg", "b.jpg", "d.jpg", "e.jpg"});
    WriteUndecodableSource(picture("c.png"));
    paths.insert(2, picture("c.png"));

    QVERIFY(RunBatch(windows, paths));

    VerifyEndedInFailure(windows);
    QVERIFY(Exists(picture("s-a.jpg")) && Exists(picture("s-b.jpg")));
    QVERIFY(!Exists(picture("s-c.jpg")) && !Exists(picture("s-d.jpg")) && !Exists(picture("s-e.jpg")));
    QCOMPARE(windows.status.ProgressBarStatus->value(), 10);
    // The picture with the engine's reason.
    QCOMPARE(windows.status.FullStatusText(), FailedStatus(picture("c.png")));
}

void BatchTest::failedSaveOfTheLastPictureKeepsTheFolderClosed()
{
    ProgramWindows windows;
    Child<QRadioButton>(windows.main, "RBMakeDir")->setChecked(true);
    Child<QLineEdit>(windows.main, "EditDirName")->setText(QStringLiteral("out"));
    QDir(pictures_->path()).mkpath("one");
    QDir(pictures_->path()).mkpath("two");
    WriteJpegSource(picture("one/a.jpg"));
    WriteJpegSource(picture("two/b.jpg"));
    // A file where the sub-folder would go: the folder cannot be made, the save fails.
    WriteUndecodableSource(picture("two/out"));

    QVERIFY(RunBatch(windows, {picture("one/a.jpg"), picture("two/b.jpg")}));

    VerifyEndedInFailure(windows);
    QVERIFY(Exists(picture("one/out/a.jpg")));
    QCOMPARE(windows.status.ProgressBarStatus->value(), 8);
    QVERIFY(windows.status.FullStatusText().startsWith(QStringLiteral("[b.jpg]の処理に失敗しました: ")));
}

void BatchTest::failureBeforeTheFirstPictureKeepsTheStartingText()
{
    ProgramWindows windows;
    WriteJpegSource(picture("a.jpg"));
    // The target size is read into the settings even when quality goes by level.
    Child<QLineEdit>(windows.main, "EditFileSize")->setText(QStringLiteral("12a"));

    QVERIFY(RunBatch(windows, {picture("a.jpg")}));

    VerifyEndedInFailure(windows);
    QVERIFY(!Exists(picture("s-a.jpg")));
    QCOMPARE(windows.status.LabelStatus->text(), QStringLiteral("初期化中････"));
    QCOMPARE(windows.status.ProgressBarStatus->value(), 0);
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
    Child<QRadioButton>(windows.main, "RBMakeDir")->setChecked(intoSubFolder);
    Child<QRadioButton>(windows.main, "RBDecidesName")->setChecked(!intoSubFolder);
    Child<QLineEdit>(windows.main, "EditDirName")->setText(QStringLiteral("出力"));
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
    QCOMPARE(windows.status.FullStatusText(), FailedStatus(picture("[ramen].png")));
    QVERIFY(windows.status.FullStatusText().startsWith(QStringLiteral("[[ramen].png]の処理に失敗しました: ")));
    windows.status.BtnCloseClick();

    QVERIFY(RunBatch(windows, {picture("a.jpg")}));
    QVERIFY(windows.main.ConvertSucceeded);
    QCOMPARE(windows.status.LabelStatus->text(), QStringLiteral("1枚の画像処理が完了しました"));
    QVERIFY(windows.status.BtnOpenDir->isEnabled());
}

// Each batch raises the progress window over the main one; closing it gives the main
// window back, enabled and active.
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
        QVERIFY(!windows.main.isEnabled());

        windows.status.BtnCloseClick();

        QVERIFY(windows.status.isHidden());
        QVERIFY(windows.main.isEnabled());
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&windows.main));
    }
}

void BatchTest::closingTheMainWindowStopsTheBatchThenClosesIt()
{
    {
        ProgramWindows windows;
        windows.main.show();
        // Closed while the second picture is being worked on.
        bool closed = true;
        WhenTheBarReaches(windows, 6, [&] {
            closed = CloseFromTheWindowManager(windows.main);
            QCOMPARE(windows.status.LabelStatus->text(), QStringLiteral("中止しています…"));
        });

        QVERIFY(RunBatch(windows, jpegSources({"a.jpg", "b.jpg", "c.jpg", "d.jpg"})));

        QVERIFY2(!closed, "the window stays while the worker still reports to it");
        QVERIFY(windows.main.isHidden());
        QVERIFY(windows.status.isHidden());
        QCOMPARE(FolderNames(pictures_->path()), (QStringList{"a.jpg", "b.jpg", "c.jpg", "d.jpg", "s-a.jpg"}));
    }
    // The window went the normal way: its settings were saved.
    QVERIFY(home_->readIni().contains("[GUSTARA_EXT]\nKEEP_GOING=0\n"));
}

void BatchTest::stopEndsTheBatchAfterTheCurrentPictureAtTheLatest_data()
{
    QTest::addColumn<int>("way");           // 0 the button, 1 Escape, 2 the window manager's close
    QTest::addColumn<int>("stopAt");        // bar position when the stop is asked for
    QTest::addColumn<QStringList>("saved");
    QTest::addColumn<QString>("status");
    // c loaded: abandoned before its save. c saved: nothing after it. Before a: nothing saved.
    QTest::newRow("button, during c") << 0 << 11 << QStringList{"a", "b"} << "中止しました（4枚中2枚を保存）";
    QTest::newRow("Escape, c saved") << 1 << 14 << QStringList{"a", "b", "c"} << "中止しました（4枚中3枚を保存）";
    QTest::newRow("close box, during a") << 2 << 2 << QStringList{} << "中止しました（4枚中0枚を保存）";
}

void BatchTest::stopEndsTheBatchAfterTheCurrentPictureAtTheLatest()
{
    QFETCH(int, way);
    QFETCH(int, stopAt);
    QFETCH(QStringList, saved);
    QFETCH(QString, status);
    ProgramWindows windows;
    windows.main.show();
    QStringList names = {"a.jpg", "b.jpg", "c.jpg", "d.jpg"};
    const QStringList paths = jpegSources(names);
    QPushButton& close = *windows.status.BtnClose;
    WhenTheBarReaches(windows, stopAt, [&] {
        if (way == 0)
            QTest::mouseClick(&close, Qt::LeftButton);
        else if (way == 1)
            QTest::keyClick(&windows.status, Qt::Key_Escape);
        else
            CloseFromTheWindowManager(windows.status);
        QVERIFY2(!close.isEnabled(), "stopping: asked once, pressed once");
        QVERIFY(windows.status.isVisible());
        QCOMPARE(windows.status.LabelStatus->text(), QStringLiteral("中止しています…"));
    });

    QVERIFY(RunBatch(windows, paths));

    QCOMPARE(windows.status.LabelStatus->text(), status);
    QCOMPARE(close.text(), QStringLiteral("閉じる"));
    QVERIFY(close.isEnabled());
    QCOMPARE(windows.status.BtnOpenDir->isEnabled(), !saved.isEmpty());
    QVERIFY(!windows.status.BtnDetails->isVisible());
    QVERIFY(!windows.main.isEnabled());
    for (const QString& name : saved)
        names << "s-" + name + ".jpg";
    names.sort();
    // Nothing else: no output after the stop, no temporary file, no partial file.
    QCOMPARE(FolderNames(pictures_->path()), names);
    if (!saved.isEmpty())
        QCOMPARE(QString::fromStdString(windows.status.GetSaveDir()), pictures_->path() + "/");

    windows.status.BtnCloseClick();
    QVERIFY(windows.main.isEnabled());
}

void BatchTest::keepGoingConvertsPastFailuresAndListsThem()
{
    ProgramWindows windows;
    Child<QAction>(windows.main, "KeepGoingItem")->setChecked(true);
    QStringList paths = jpegSources({"a.jpg", "c.jpg", "e.jpg"});
    WriteUndecodableSource(picture("b.png"));
    WriteUndecodableSource(picture("d.jpg"));
    paths.insert(1, picture("b.png"));
    paths.insert(3, picture("d.jpg"));
    const auto whole = gustara::EncodeJpeg(gustara::test::MakeTestPicture(300, 200), 95, false);
    gustara::test::WriteFileBytes(picture("c.jpg").toStdString(), gustara::test::Cut(whole, whole.size() / 2));

    QVERIFY(RunBatch(windows, paths));

    QVERIFY(Exists(picture("s-a.jpg")) && Exists(picture("s-c.jpg")) && Exists(picture("s-e.jpg")));
    QCOMPARE(windows.status.FullStatusText(), QStringLiteral("5枚中3枚を保存しました（2枚は失敗）"));
    QCOMPARE(windows.status.StatusNoteTexts(), QStringList{QStringLiteral("一部が欠けています: c.jpg")});
    QCOMPARE(windows.status.ProgressBarStatus->value(), 24);
    QVERIFY(windows.status.BtnOpenDir->isEnabled());
    QVERIFY(windows.status.BtnDetails->isVisible());
    // One list however often it is asked for, beside the progress window, naming whole paths.
    QTest::mouseClick(windows.status.BtnDetails, Qt::LeftButton);
    QTest::mouseClick(windows.status.BtnDetails, Qt::LeftButton);
    const auto lists = windows.status.findChildren<QPlainTextEdit*>(QStringLiteral("FailureLines"));
    QCOMPARE(lists.size(), 1);
    QPlainTextEdit* list = lists.front();
    const auto byPath = [&](const QString& name) {
        return FailedStatus(picture(name)).replace("[" + name + "]", "[" + picture(name) + "]");
    };
    QCOMPARE(list->toPlainText(), byPath("b.png") + "\n" + byPath("d.jpg") + "\n[" + picture("c.jpg")
                                      + "]は一部が欠けています（ファイルが途中で切れています）");
    QVERIFY(list->isReadOnly() && (list->textInteractionFlags() & Qt::TextSelectableByKeyboard));
    QVERIFY(list->window()->isVisible());
    QCOMPARE(list->window()->windowTitle(), QStringLiteral("確認が必要な画像"));
    QVERIFY(!list->window()->frameGeometry().intersects(windows.status.frameGeometry()));
    QVERIFY(windows.status.screen()->availableGeometry().contains(list->window()->frameGeometry()));
    QCOMPARE(windows.status.size(), QSize(395, 86 + 16));
    // The end of the batch in another language, chosen while it shows.
    Child<QAction>(windows.main, "LanguageEnglishItem")->trigger();
    QCOMPARE(windows.status.FullStatusText(), QStringLiteral("3 of 5 pictures saved (2 failed)"));
    QCOMPARE(windows.status.StatusNoteTexts(), QStringList{QStringLiteral("Partly missing: c.jpg")});
    QVERIFY(list->toPlainText().endsWith("[" + picture("c.jpg") + "] is partly missing: the file is cut short"));
    Child<QAction>(windows.main, "LanguageAutoItem")->trigger();

    // Without failures the batch ends as always and lists nothing.
    windows.status.BtnCloseClick();
    QVERIFY2(!list->window()->isVisible(), "the list closes with the progress window");
    QVERIFY(RunBatch(windows, {picture("a.jpg")}));
    QCOMPARE(windows.status.LabelStatus->text(), QStringLiteral("1枚の画像処理が完了しました"));
    QVERIFY(!windows.status.BtnDetails->isVisible());
}

void BatchTest::batchKeepsTheSettingsItStartedWith()
{
    ProgramWindows windows;
    WriteJpegSource(picture("a.jpg"));
    QVERIFY(DropAndHandle(windows.main, LocalUrls({picture("a.jpg")})));
    // Changed before this thread turns its event loop, while the worker may already run.
    Child<QLineEdit>(windows.main, "EditFileName")->setText(QStringLiteral("t-"));
    QVERIFY(QTest::qWaitFor([&] { return !windows.main.IsConverting(); }, kBatchTimeoutMs));
    QVERIFY(Exists(picture("s-a.jpg")));
    QVERIFY(!Exists(picture("t-a.jpg")));
}

void BatchTest::nameThatIsNotUtf8KeepsItsBytes()
{
    ProgramWindows windows;
    // 料理 in Shift-JIS, as a name unpacked from a Windows archive.
    const std::string folder = pictures_->path().toStdString() + "/";
    WriteJpegSource(folder + "\x97\xbf\x97\x9d.jpg");
    const QUrl url = gustara::LocalFileUrl(folder + "\x97\xbf\x97\x9d.jpg");
    QVERIFY(url.toEncoded().endsWith("/%97%BF%97%9D.jpg"));

    QString shown;
    WhenTheBarReaches(windows, 1, [&] { shown = windows.status.LabelStatus->text(); });
    QVERIFY(DropAndHandle(windows.main, {url}) && windows.main.IsConverting());
    QTRY_VERIFY_WITH_TIMEOUT(!windows.main.IsConverting(), kBatchTimeoutMs);
    // Shown with the bytes replaced; converted under the same bytes.
    QCOMPARE(shown, QStringLiteral("[\uFFFD\uFFFD\uFFFD\uFFFD.jpg]を処理しています"));
    QCOMPARE(windows.status.LabelStatus->text(), QStringLiteral("1枚の画像処理が完了しました"));
    QVERIFY(Exists(folder + "s-\x97\xbf\x97\x9d.jpg"));
    windows.status.BtnCloseClick();

    // A refused name is shown the same way in the drop's message.
    gustara::test::WriteFileBytes(folder + "\x97\xbf.txt", {});
    const auto boxes = gustara::test::AnswerMessageBoxes(
        [&] { DropAndHandle(windows.main, {gustara::LocalFileUrl(folder + "\x97\xbf.txt")}); });
    QCOMPARE(boxes.size(), std::size_t{1});
    QVERIFY(boxes[0].text.contains(QStringLiteral("\u3000\u3000\uFFFD\uFFFD.txt")));
}

void BatchTest::severalInFlightShowAndWriteAsOneAtATime_data()
{
    QTest::addColumn<bool>("failing");
    QTest::newRow("all good") << false;
    QTest::newRow("failure in the middle") << true;
}

// The same drop with one and with four pictures in flight: the same files, bytes and names
// (a.png and a.jpg both want s-a.jpg), the same bar positions one by one, the same last text.
void BatchTest::severalInFlightShowAndWriteAsOneAtATime()
{
    QFETCH(bool, failing);
    struct Seen {
        std::map<std::string, std::vector<uint8_t>> files;
        QList<int> bar;
        QString label;
    };
    auto convert = [&](std::size_t jobs) {
        ProgramWindows windows;
        windows.main.BatchJobs = jobs;
        QTemporaryDir folder;
        QStringList drop;
        for (const std::string& path : gustara::test::StoreOrderingDrop(folder.path().toStdString(), failing))
            drop.push_back(QString::fromStdString(path));
        QSignalSpy bar(windows.status.ProgressBarStatus, &QProgressBar::valueChanged);
        Seen seen;
        if (!RunBatch(windows, drop))
            return seen;
        for (const QList<QVariant>& signal : bar)
            seen.bar.push_back(signal.at(0).toInt());
        seen.bar.removeAll(0);  // the start of the range, shown before the first picture
        seen.label = windows.status.LabelStatus->text();
        seen.files = gustara::test::FilesIn(folder.path().toStdString());
        return seen;
    };
    const Seen one = convert(1);
    const Seen four = convert(4);
    QVERIFY2(one.label.startsWith(failing ? QStringLiteral("[bad.jpg]の処理に失敗しました") : QStringLiteral("7枚の画像処理が完了しました")),
             qPrintable(one.label));
    QVERIFY(one.files.count("s-a.jpg") && one.files.count("s-a(1).jpg"));
    QCOMPARE(one.files.count("s-after0.jpg"), failing ? 0u : 1u);
    // Every unit once, in order: 1 to 15 up to the failed picture's start, else to 34.
    QList<int> units(failing ? 15 : 34);
    std::iota(units.begin(), units.end(), 1);
    QCOMPARE(one.bar, units);
    QCOMPARE(four.bar, one.bar);
    QCOMPARE(four.label, one.label);
    QVERIFY(four.files == one.files);
}

QTEST_MAIN(BatchTest)
#include "BatchTest.moc"
