#include "DropTestSupport.h"
#include "GifFixtures.h"
#include "WindowTestSupport.h"
#include "rules/SettingsRules.h"
#include "shared/LocalPaths.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

using gustara::test::AnswerMessageBoxes;
using gustara::test::Child;
using gustara::test::ConfigHome;
using gustara::test::DropAndHandle;
using gustara::test::Exists;
using gustara::test::LocalUrls;
using gustara::test::ProgramWindows;
using gustara::test::SendDrop;
using gustara::test::TinyGif;
using gustara::test::WriteFileBytes;
using gustara::test::WriteJpegSource;
using gustara::test::WriteUndecodableSource;
using gustara::test::kBatchTimeoutMs;

namespace {

const QString kFormat = QStringLiteral("「JPEG形式、GIF形式、PNG形式、BMP形式」以外の形式には対応していません");
const QString kFolder = QStringLiteral("フォルダのドロップには対応していません");
const QString kAnimated = QStringLiteral("アニメーションGIFには対応していません");
const QString kReadError = QStringLiteral("読込みエラー");

// The message's lines: a header per reason, then its names indented.
QString Message(const std::vector<std::pair<QString, QStringList>>& groups, int beyond = 0)
{
    QStringList parts;
    for (const auto& [reason, names] : groups) {
        QString part = QStringLiteral("■") + reason + "\r\n";
        for (const QString& name : names)
            part += QStringLiteral("　　") + name + "\r\n";
        parts.push_back(part);
    }
    QString message = parts.join("\r\n");
    if (beyond > 0)
        message += QStringLiteral("\r\n他%1件のエラー").arg(beyond);
    return message;
}

QStringList NumberedNames(int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names.push_back(QStringLiteral("f%1.tif").arg(i, 2, 10, QLatin1Char('0')));
    return names;
}

} // namespace

class DropIntakeTest : public QObject {
    Q_OBJECT

private slots:
    void init() { home_ = std::make_unique<ConfigHome>(); }
    void cleanup() { home_.reset(); }

    void dragsWithFilesAreTaken();
    void filesDroppedOnTextControlsReachTheWindow_data();
    void filesDroppedOnTextControlsReachTheWindow();
    void namesReachTheBatchWholeAndInDropOrder();
    void foldersAreWalkedAndDatesKeptWhenAsked();
    void refusalsAreListedInOneMessage_data();
    void refusalsAreListedInOneMessage();
    void invalidSettingsShowOnlyTheirMessage();
    void dropDuringABatchStartsNoSecondWorker();
    void twoDropsBeforeEitherIsHandledStartOneBatch();
    void openFilesTakesTheChosenFilesAsADrop();
    void commandLinePathsAreTakenAsADrop();

private:
    // A path in the current test's own folder; the folder lives until the last test, so
    // that a data function can lay out the files of its rows.
    QString picture(const QString& name) const
    {
        const QString folder = pictures_.filePath(QString::fromLatin1(QTest::currentTestFunction()));
        QDir().mkpath(folder);
        return folder + "/" + name;
    }
    void writeJpegSources(const QStringList& names) const
    {
        for (const QString& name : names)
            WriteJpegSource(picture(name));
    }
    // Waits for the batch of the first drop; the second, of b.jpg, started none.
    void verifyOnlyTheFirstDropWasConverted(ProgramWindows& windows) const
    {
        QTRY_COMPARE_WITH_TIMEOUT(windows.status.LabelStatus->text(),
                                  QStringLiteral("1枚の画像処理が完了しました"), kBatchTimeoutMs);
        QTRY_VERIFY(!windows.main.IsConverting());
        QVERIFY(windows.main.FileList == std::vector<std::string>{picture("a.jpg").toStdString()});
        QVERIFY(Exists(picture("s-a.jpg")));
        QVERIFY(!Exists(picture("s-b.jpg")));
    }

    std::unique_ptr<ConfigHome> home_;
    QTemporaryDir pictures_;
};

void DropIntakeTest::dragsWithFilesAreTaken()
{
    ProgramWindows windows;
    QVERIFY(windows.main.acceptDrops());
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(picture("a.jpg"))});
    QDragEnterEvent fileDrag({10, 10}, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&windows.main, &fileDrag);
    QVERIFY(fileDrag.isAccepted());

    QMimeData text;
    text.setText(QStringLiteral("a.jpg"));
    QDragEnterEvent textDrag({10, 10}, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&windows.main, &textDrag);
    QVERIFY(!textDrag.isAccepted());

    QVERIFY(!DropAndHandle(windows.main, {}));
    QVERIFY(!windows.main.IsConverting());
}

void DropIntakeTest::filesDroppedOnTextControlsReachTheWindow_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("source");
    QTest::newRow("file name field") << "EditFileName" << "a.jpg";
    QTest::newRow("memo") << "Memo1" << "b.jpg";
}

void DropIntakeTest::filesDroppedOnTextControlsReachTheWindow()
{
    QFETCH(QString, control);
    QFETCH(QString, source);
    ProgramWindows windows;
    WriteJpegSource(picture(source));
    auto* target = windows.main.findChild<QWidget*>(control);
    QVERIFY(target && target->acceptDrops());

    QVERIFY(SendDrop(*target, LocalUrls({picture(source)})));

    QTRY_COMPARE_WITH_TIMEOUT(windows.status.LabelStatus->text(), QStringLiteral("1枚の画像処理が完了しました"),
                              kBatchTimeoutMs);
    QTRY_VERIFY(!windows.main.IsConverting());
    QVERIFY(Exists(picture("s-" + source)));
    QCOMPARE(Child<QLineEdit>(windows.main, "EditFileName")->text(), QStringLiteral("s-"));
    QVERIFY(!Child<QPlainTextEdit>(windows.main, "Memo1")->toPlainText().contains(QStringLiteral("file:")));
}

void DropIntakeTest::namesReachTheBatchWholeAndInDropOrder()
{
    ProgramWindows windows;
    // Names that a URL must carry encoded, and a path over 255 bytes: paths are kept whole.
    const QString longFolder(80, QChar(u'餃'));
    QDir().mkpath(picture(longFolder));
    const QStringList names = {QStringLiteral("味噌 ラーメン 100%.JPG"), QStringLiteral("b#1?.jpeg"),
                               longFolder + "/c.jpg", QStringLiteral("a.jpg")};
    QStringList paths;
    for (int i = 0; i < names.size(); ++i) {
        paths.push_back(picture(names[i]));
        WriteJpegSource(paths.back(), static_cast<uint32_t>(i));
    }
    QVERIFY(paths[2].toUtf8().size() > 255);

    QVERIFY(DropAndHandle(windows.main, LocalUrls(paths)));
    QTRY_VERIFY_WITH_TIMEOUT(!windows.main.IsConverting(), kBatchTimeoutMs);

    std::vector<std::string> expected;
    for (const QString& path : paths)
        expected.push_back(path.toStdString());
    QVERIFY(windows.main.FileList == expected);
    QVERIFY(windows.main.ConvertSucceeded);
    for (const QString& name : {QStringLiteral("s-味噌 ラーメン 100%.jpg"), QStringLiteral("s-b#1?.jpg"),
                                longFolder + "/s-c.jpg", QStringLiteral("s-a.jpg")})
        QVERIFY2(Exists(picture(name)), qPrintable(name));
}

void DropIntakeTest::foldersAreWalkedAndDatesKeptWhenAsked()
{
    ProgramWindows windows;
    QDir().mkpath(picture("tree/.hidden"));
    for (const char* name : {"tree/a.jpg", "tree/.hidden/b.jpg"})
        WriteJpegSource(picture(name));
    const auto taken = std::filesystem::file_time_type::clock::now() - std::chrono::hours(50);
    std::filesystem::last_write_time(picture("tree/a.jpg").toStdString(), taken);
    for (const char* item : {"FoldersItem", "KeepDateItem"})
        Child<QAction>(windows.main, item)->setChecked(true);
    QVERIFY(DropAndHandle(windows.main, LocalUrls({picture("tree")})));
    QTRY_VERIFY_WITH_TIMEOUT(!windows.main.IsConverting(), kBatchTimeoutMs);
    QVERIFY(windows.main.FileList == std::vector<std::string>{picture("tree/a.jpg").toStdString()});
    QVERIFY(std::filesystem::last_write_time(picture("tree/s-a.jpg").toStdString()) == taken);
}

void DropIntakeTest::refusalsAreListedInOneMessage_data()
{
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<QString>("message");

    QDir().mkpath(picture("photos"));
    QDir().mkpath(picture("pictures.jpg"));
    WriteFileBytes(picture("anim.gif").toStdString(), TinyGif(1, 1, 1, 1, 2));
    WriteFileBytes(picture("still.gif").toStdString(), TinyGif(1, 1, 1, 1));
    WriteUndecodableSource(picture("broken.gif"));
    WriteJpegSource(picture("a.jpg"));

    QList<QUrl> mixed = LocalUrls({picture("x.tif"), picture("a.jpg"), picture("photos"), picture("broken.gif"),
                                   picture("B.txt"), picture("anim.gif"), picture("a,b.tif"), picture("still.gif"),
                                   picture("pictures.jpg"), picture("noextension"), picture("photo.jpe")});
    // A folder dropped with its trailing delimiter has an empty name.
    mixed.push_back(QUrl::fromLocalFile(picture("photos/")));
    // Something that is no local file is refused by its format, under its last segment.
    mixed.push_back(QUrl(QStringLiteral("https://example.com/menu/ramen.png")));
    QTest::newRow("several kinds")
        << mixed
        << Message({{kFormat, {"a,b.tif", "B.txt", "noextension", "photo.jpe", "ramen.png", "x.tif"}},
                    {kAnimated, {"anim.gif"}},
                    {kFolder, {"", "photos"}},
                    {kReadError, {"broken.gif"}}});

    QStringList twentyFive;
    for (const QString& name : NumberedNames(25))
        twentyFive.push_back(picture(name));
    QTest::newRow("25 refusals") << LocalUrls(twentyFive) << Message({{kFormat, NumberedNames(25)}});

    QStringList thirty;
    // Dropped in reverse: the message is sorted.
    for (const QString& name : NumberedNames(30))
        thirty.push_front(picture(name));
    QTest::newRow("30 refusals") << LocalUrls(thirty) << Message({{kFormat, NumberedNames(25)}}, 5);
    // While HEIC, AVIF and WebP are not taken in, a refusal of one says where to turn them on.
    QTest::newRow("phone formats while off")
        << LocalUrls({picture("x.tif"), picture("IMG_0001.HEIC"), picture("menu.webp")})
        << Message({{kFormat, {"IMG_0001.HEIC", "menu.webp", "x.tif"}}})
               + QStringLiteral("\r\n（HEIC・AVIF・WebP は 設定(S) の「HEIC・AVIF・WebP も読み込む」で読み込めます）\r\n");
}

void DropIntakeTest::refusalsAreListedInOneMessage()
{
    QFETCH(QList<QUrl>, urls);
    QFETCH(QString, message);
    ProgramWindows windows;

    const auto boxes = AnswerMessageBoxes([&] { QVERIFY(DropAndHandle(windows.main, urls)); });

    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].text, message);
    QCOMPARE(boxes[0].title, QStringLiteral("画像を美味しくするソフト"));
    QCOMPARE(boxes[0].icon, QMessageBox::NoIcon);
    QCOMPARE(boxes[0].buttonCount, qsizetype{1});
    QVERIFY(!windows.main.IsConverting());
    QVERIFY(windows.status.isHidden());
    QVERIFY(windows.main.isEnabled());
    QVERIFY(!Exists(picture("s-a.jpg")) && !Exists(picture("s-still.jpg")));
}

void DropIntakeTest::invalidSettingsShowOnlyTheirMessage()
{
    ProgramWindows windows;
    writeJpegSources({"a.jpg", "b.jpg"});
    Child<QLineEdit>(windows.main, "EditFileName")->clear();

    const auto boxes = AnswerMessageBoxes([&] { DropAndHandle(windows.main, LocalUrls({picture("a.jpg")})); });

    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].text, QString::fromUtf8(gustara::Text(gustara::Message::SettingAffixEmpty)));
    QVERIFY(!windows.main.IsConverting());
    QVERIFY(windows.status.isHidden());
    QVERIFY(windows.main.FileList == std::vector<std::string>{picture("a.jpg").toStdString()});

    Child<QLineEdit>(windows.main, "EditFileName")->setText(QStringLiteral("s-"));
    QVERIFY(DropAndHandle(windows.main, LocalUrls({picture("b.jpg")})));
    QTRY_VERIFY_WITH_TIMEOUT(!windows.main.IsConverting(), kBatchTimeoutMs);
    QVERIFY(windows.main.FileList == std::vector<std::string>{picture("b.jpg").toStdString()});
    QVERIFY(Exists(picture("s-b.jpg")));
    QVERIFY(!Exists(picture("s-a.jpg")));
}

void DropIntakeTest::dropDuringABatchStartsNoSecondWorker()
{
    ProgramWindows windows;
    writeJpegSources({"a.jpg", "b.jpg"});
    // The batch cannot get past its first hand-over while this thread runs no event loop.
    windows.main.WMDropFiles(LocalUrls({picture("a.jpg")}));
    QVERIFY(windows.main.IsConverting());

    QVERIFY(!SendDrop(windows.main, LocalUrls({picture("b.jpg")})));
    // Also refused when the window has been enabled again while the worker runs.
    windows.main.setEnabled(true);
    QVERIFY(!SendDrop(windows.main, LocalUrls({picture("b.jpg")})));

    verifyOnlyTheFirstDropWasConverted(windows);
}

void DropIntakeTest::twoDropsBeforeEitherIsHandledStartOneBatch()
{
    ProgramWindows windows;
    writeJpegSources({"a.jpg", "b.jpg"});
    QVERIFY(SendDrop(windows.main, LocalUrls({picture("a.jpg")})));
    QVERIFY(SendDrop(windows.main, LocalUrls({picture("b.jpg")})));

    verifyOnlyTheFirstDropWasConverted(windows);
}

void DropIntakeTest::openFilesTakesTheChosenFilesAsADrop()
{
    ProgramWindows windows;
    windows.main.show();
    writeJpegSources({"a.jpg", "b.JPEG"});
    WriteFileBytes(picture("c.tif").toStdString(), {});
    QStringList filters;
    // Chooses `typed` in the file dialog of the menu item and answers any message after it.
    const auto choose = [&](const QString& typed) {
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            filters = dialog->nameFilters();
            // All files, so that the refused one can be chosen too.
            dialog->selectNameFilter(filters.last());
            dialog->setDirectory(QFileInfo(picture("a.jpg")).path());
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(typed);
            static_cast<QDialog*>(dialog)->accept();
        });
        poll.start();
        return AnswerMessageBoxes([&] { Child<QAction>(windows.main, "OpenFilesItem")->trigger(); });
    };

    QVERIFY(choose(QStringLiteral("\"a.jpg\" \"b.JPEG\"")).empty());
    QCOMPARE(filters, (QStringList{"画像ファイル (*.bmp *.BMP *.jpg *.JPG *.jpeg *.JPEG *.png *.PNG *.gif *.GIF)",
                                   "すべてのファイル (*)"}));
    QVERIFY(windows.main.IsConverting());
    QTRY_VERIFY_WITH_TIMEOUT(!windows.main.IsConverting(), kBatchTimeoutMs);
    QVERIFY(Exists(picture("s-a.jpg")) && Exists(picture("s-b.jpg")));
    windows.status.BtnCloseClick();

    // The drop's rules: a refusal is reported in the drop's message, nothing is converted.
    const auto boxes = choose(QStringLiteral("\"c.tif\""));
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].text, Message({{kFormat, {"c.tif"}}}));
    QVERIFY(!windows.main.IsConverting());
}

void DropIntakeTest::commandLinePathsAreTakenAsADrop()
{
    ProgramWindows windows;
    const std::string folder = QFileInfo(picture("a.jpg")).path().toStdString();
    const QString startFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QString::fromStdString(folder)));
    std::string arguments[] = {"gustara", "a.jpg", folder + "/b b.jpg", "\x97\xbf.jpg",
                               "file://" + QUrl::toPercentEncoding(QString::fromStdString(folder), "/").toStdString()
                                   + "/%97%9D.jpg"};
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    const std::vector<std::string> paths = gustara::CommandLinePaths(static_cast<int>(argv.size()), argv.data());
    QDir::setCurrent(startFolder);
    // Relative names become absolute; bytes that are not UTF-8 stay as they are.
    QVERIFY(paths == (std::vector<std::string>{folder + "/a.jpg", folder + "/b b.jpg", folder + "/\x97\xbf.jpg",
                                               folder + "/\x97\x9d.jpg"}));
    for (const std::string& path : paths)
        WriteJpegSource(path);

    windows.main.OpenPaths(paths);
    QVERIFY(windows.main.IsConverting());
    QTRY_VERIFY_WITH_TIMEOUT(!windows.main.IsConverting(), kBatchTimeoutMs);
    QCOMPARE(windows.status.LabelStatus->text(), QStringLiteral("4枚の画像処理が完了しました"));
    for (const char* output : {"/s-a.jpg", "/s-b b.jpg", "/s-\x97\xbf.jpg", "/s-\x97\x9d.jpg"})
        QVERIFY2(Exists(folder + output), output);
}

QTEST_MAIN(DropIntakeTest)
#include "DropIntakeTest.moc"

#include <utility>
