// Every text that a user can see, one line each: its code, its Japanese text, its English text.
// Included by rules/Messages.h to make the codes and by rules/Messages.cpp to make the texts, with
// GUSTARA_MESSAGE defined each time, so a code cannot lose its text. %1, %2, ... stand for the
// values that Format fills in; a text without values holds no %.
// The window and the command line show the language of the user's locale; the window's Settings
// menu may choose another.

// Why a dropped path (or a picture named on the command line) is refused, and the message that lists them.
// A reason holds no ASCII comma: its list entry is the reason, a comma and the file name.
GUSTARA_MESSAGE(ReasonAnimatedGif, "アニメーションGIFには対応していません", "animated GIF files are not supported")
GUSTARA_MESSAGE(ReasonGifReadError, "読込みエラー", "read error")
GUSTARA_MESSAGE(ReasonFolder, "フォルダのドロップには対応していません", "folders are not supported")
GUSTARA_MESSAGE(ReasonFormat, "「JPEG形式、GIF形式、PNG形式、BMP形式」以外の形式には対応していません", "only JPEG / GIF / PNG / BMP files are supported")
// With HEIC, AVIF and WebP read too (MORE_FORMATS, --more-formats) the format reason names them as well;
// while they are not read, a refusal that holds such files ends with where to turn them on.
GUSTARA_MESSAGE(ReasonFormatMore, "「JPEG形式、GIF形式、PNG形式、BMP形式、HEIC形式、AVIF形式、WebP形式」以外の形式には対応していません", "only JPEG / GIF / PNG / BMP / HEIC / AVIF / WebP files are supported")
GUSTARA_MESSAGE(HintMoreFormatsWindow, "（HEIC・AVIF・WebP は 設定(S) の「HEIC・AVIF・WebP も読み込む」で読み込めます）", "(HEIC, AVIF and WebP files are read when Settings > Read HEIC, AVIF and WebP too is checked)")
GUSTARA_MESSAGE(HintMoreFormatsCli, "(HEIC・AVIF・WebP は --more-formats を付けると読み込めます)", "(HEIC, AVIF and WebP files are read with --more-formats)")
GUSTARA_MESSAGE(RefusalHeading, "■%1", "%1:")
GUSTARA_MESSAGE(RefusalName, "　　%1", "  %1")
GUSTARA_MESSAGE(RefusalMore, "他%1件のエラー", "and %1 more")

// The check of the settings before a batch, in the window's order.
GUSTARA_MESSAGE(SettingWidth, "幅は10以上の整数で入力してください", "Enter the width as a whole number of at least 10")
GUSTARA_MESSAGE(SettingHeight, "高さは10以上の整数で入力してください", "Enter the height as a whole number of at least 10")
GUSTARA_MESSAGE(SettingFileSize, "ファイルサイズは10以上の整数で入力してください", "Enter the file size as a whole number of at least 10")
GUSTARA_MESSAGE(SettingAffixEmpty, "ファイル名の前後に付ける文字を入力してください", "Enter the text to add to the file name")
GUSTARA_MESSAGE(SettingAffixInvalid, "ファイル名に「\\/:*?\"<>|」は使えません", "A file name cannot hold any of \\/:*?\"<>|")
GUSTARA_MESSAGE(SettingDirEmpty, "フォルダ名を入力してください", "Enter the folder name")
GUSTARA_MESSAGE(SettingDirInvalid, "フォルダ名に「\\/:*?\"<>|」は使えません", "A folder name cannot hold any of \\/:*?\"<>|")
GUSTARA_MESSAGE(SettingDirDots, "フォルダ名に「.」や「..」は使えません", "A folder name cannot be . or ..")
// The settings file cannot be written; %1 is its full path.
GUSTARA_MESSAGE(CannotWriteSettings, "%1 に書き込めません.", "Cannot write %1.")

// Why a picture cannot be read, one cause each (ReadFailure); %1 is the format's name.
GUSTARA_MESSAGE(ReadFolder, "ファイルではなくフォルダです", "a folder, not a file")
GUSTARA_MESSAGE(ReadMissing, "ファイルが見つかりません", "no such file")
GUSTARA_MESSAGE(ReadNoPermission, "ファイルを読む権限がありません", "no permission to read the file")
GUSTARA_MESSAGE(ReadNotAFile, "通常のファイルではありません", "not a regular file")
GUSTARA_MESSAGE(ReadCannotRead, "ファイルを読み込めません", "the file cannot be read")
GUSTARA_MESSAGE(ReadEmpty, "ファイルが空です", "the file is empty")
GUSTARA_MESSAGE(ReadNotThisFormat, "中身が%1形式ではありません。拡張子を確かめてください", "the contents are not %1; check the extension")
GUSTARA_MESSAGE(ReadEndsEarly, "ファイルが途中で切れています", "the file is cut short")
GUSTARA_MESSAGE(ReadDamaged, "ファイルが壊れています", "the file is damaged")
GUSTARA_MESSAGE(ReadUnsupported, "対応していない種類の%1です", "a kind of %1 that is not supported")
GUSTARA_MESSAGE(ReadTooLarge, "画像が大きすぎます", "the picture is too large")
GUSTARA_MESSAGE(ReadOutOfMemory, "メモリが足りません", "out of memory")
// A picture of several frames (an animated WebP, a HEIF or AVIF image sequence); a picture whose
// compression %1 (HEVC, AV1) no installed decoder reads.
GUSTARA_MESSAGE(ReadSeveralFrames, "複数のフレームからなる画像（アニメーション）には対応していません", "pictures of several frames (animations) are not supported")
GUSTARA_MESSAGE(ReadMissingDecoder, "%1 の画像を読むデコーダーがこのパソコンにありません", "no decoder for %1 pictures is installed on this computer")

// HEIF, AVIF and WebP files. An animation is refused under a heading of its own, apart from
// animated GIF files; a HEIF file of more tiles or items (%1) than any camera writes is
// refused before its library spends minutes on it.
GUSTARA_MESSAGE(ReasonAnimated, "アニメーション画像には対応していません", "animated pictures are not supported")
GUSTARA_MESSAGE(HeifTooManyTiles, "HEIF ファイルのタイルが多すぎます: %1", "the HEIF file has too many tiles: %1")

// What a reader found wrong, after the cause.
GUSTARA_MESSAGE(DetailNoColourTable, "カラーテーブルがありません", "no colour table")
GUSTARA_MESSAGE(DetailGifUnknownRecord, "不明なレコード", "unknown record")
GUSTARA_MESSAGE(DetailGifCodeSize, "LZW の符号長が 8 ビットを超えています", "an LZW code size over 8 bits")
GUSTARA_MESSAGE(DetailHeifSizeMismatch, "画像の大きさがヘッダと違います", "the picture's size differs from its header")
GUSTARA_MESSAGE(DetailGifDataEndsEarly, "画像データが最後の画素の前で終わっています", "the image data ends before its last pixel")
GUSTARA_MESSAGE(DetailJpegComponents, "成分数 %1", "%1 components")
GUSTARA_MESSAGE(DetailPngFirstChunk, "最初のチャンクが IHDR ではありません", "the first chunk is not IHDR")
GUSTARA_MESSAGE(DetailPngTransparency, "tRNS の項目が 256 を超えています", "more than 256 tRNS entries")
GUSTARA_MESSAGE(DetailPngRowForm, "変換後の行の形式が想定と違います", "the converted rows are not in the expected form")
GUSTARA_MESSAGE(DetailBmpHeaderSize, "情報ヘッダの大きさ %1", "information header of %1 bytes")
GUSTARA_MESSAGE(DetailBmpBits, "%1 ビット/ピクセル", "%1 bits per pixel")
GUSTARA_MESSAGE(DetailBmpRle8Bits, "RLE8 圧縮で %1 ビット/ピクセル", "RLE8 compression at %1 bits per pixel")
GUSTARA_MESSAGE(DetailBmpRle4Bits, "RLE4 圧縮で %1 ビット/ピクセル", "RLE4 compression at %1 bits per pixel")
GUSTARA_MESSAGE(DetailBmpBitfieldsBits, "ビットフィールドで %1 ビット/ピクセル", "bit fields at %1 bits per pixel")
GUSTARA_MESSAGE(DetailBmpHuffman, "Huffman 圧縮", "Huffman compression")
GUSTARA_MESSAGE(DetailBmpRle24, "RLE24 圧縮", "RLE24 compression")
GUSTARA_MESSAGE(DetailBmpEmbeddedJpeg, "埋め込まれた JPEG", "embedded JPEG")
GUSTARA_MESSAGE(DetailBmpEmbeddedPng, "埋め込まれた PNG", "embedded PNG")
GUSTARA_MESSAGE(DetailBmpCompression, "圧縮方式 %1", "compression method %1")
GUSTARA_MESSAGE(DetailBmpMaskGaps, "ビットが連続していないチャンネルマスク", "a channel mask whose bits are not contiguous")
GUSTARA_MESSAGE(DetailBmpNoPixels, "画素がありません", "no pixels")
GUSTARA_MESSAGE(DetailBmpPlanes, "プレーン数が 1 ではありません", "the number of planes is not 1")
GUSTARA_MESSAGE(DetailBmpTopDownRle, "ランレングスデータが上から格納されています", "run-length data stored top down")
GUSTARA_MESSAGE(DetailBmpPixelsInHeader, "画素データの位置がヘッダの中です", "the pixel data starts inside the header")
GUSTARA_MESSAGE(DetailBmpPixelsOverTable, "画素データがカラーテーブルの位置から始まっています", "the pixel data starts where the colour table belongs")

// Limits that keep a hostile picture from taking all memory or time; the size follows the sizes.
GUSTARA_MESSAGE(TooManyScans, "JPEG ファイルのスキャンが多すぎます", "the JPEG file has too many scans")
GUSTARA_MESSAGE(BadPictureSize, "画像の大きさが不正です", "invalid picture size")
GUSTARA_MESSAGE(BadBoxSize, "縮小する大きさが不正です", "invalid box to fit into")
GUSTARA_MESSAGE(BadTargetSize, "縮小後の大きさが不正です", "invalid size to shrink to")
GUSTARA_MESSAGE(BadJpegScale, "JPEG の縮小率が不正です: %1/8", "invalid JPEG scale: %1/8")
// The resampler's assertion on a source with a side of 0 or less, in the platform's format.
GUSTARA_MESSAGE(ResizeAssertion, "Assertion failure (BitmapUtils, 942 行)", "Assertion failure (BitmapUtils, line 942)")

// Writing the output; %1 of JpegError is libjpeg's message code, of CannotCreateFile the full path.
GUSTARA_MESSAGE(JpegError, "JPEG エラー #%1", "JPEG error #%1")
GUSTARA_MESSAGE(CannotCreateFile, "ファイル %1 を作成できません", "cannot create the file %1")
// Why a file cannot be created, after CannotCreateFile; %1 of WriteSystemError is the system's words.
GUSTARA_MESSAGE(WriteDiskFull, "ディスクの空きが足りません", "the disk is full")
GUSTARA_MESSAGE(WriteNoPermission, "書き込む権限がありません", "no permission to write there")
GUSTARA_MESSAGE(WriteReadOnly, "読み取り専用の場所です", "the place is read-only")
GUSTARA_MESSAGE(WriteSizeLimit, "ファイルの大きさの上限を超えます", "the file would exceed the file-size limit")
GUSTARA_MESSAGE(WriteNameTooLong, "ファイル名が長すぎます", "the file name is too long")
GUSTARA_MESSAGE(WriteNoFolder, "保存先のフォルダがありません", "the folder does not exist")
GUSTARA_MESSAGE(WriteFileAtFolder, "保存先のフォルダと同じ名前のファイルがあります", "a file has the name of the folder")
GUSTARA_MESSAGE(WriteFolderAtName, "同じ名前のフォルダがあります", "a folder has that name")
GUSTARA_MESSAGE(WriteLinkAtFolder, "保存先のフォルダの名前がリンクです（リンクの先には保存しません）", "a link has the name of the folder (nothing is saved through a link)")
GUSTARA_MESSAGE(WriteDiskFailed, "ディスクの読み書きに失敗しました", "the disk failed to read or write")
GUSTARA_MESSAGE(WriteSystemError, "書き込めません（%1）", "cannot write (%1)")
// A JPEG file holds at most 65500 pixels a side; the output's size follows.
GUSTARA_MESSAGE(JpegSideTooLong, "JPEG の一辺は 65500 ピクセルまでのため保存できません", "cannot be saved: a JPEG side holds at most 65500 pixels")
GUSTARA_MESSAGE(EmptyPicture, "空の画像は保存できません", "an empty picture cannot be saved")

// A typed side that is not a whole number.
GUSTARA_MESSAGE(NotWholeNumber, "'%1' は整数ではありません", "'%1' is not a whole number")

// Progress of a batch. %1 pictures in the batch, %2 saved, %3 failed.
GUSTARA_MESSAGE(StatusStarting, "初期化中････", "Starting...")
// From the moment a stop is asked for until the batch has ended.
GUSTARA_MESSAGE(Stopping, "中止しています…", "Stopping...")
GUSTARA_MESSAGE(BatchDone, "%1枚の画像処理が完了しました", "%1 pictures processed")
GUSTARA_MESSAGE(CannotOpenSaveDir, "保存先のフォルダを開けませんでした", "The output folder could not be opened")
GUSTARA_MESSAGE(Stopped, "中止しました（%1枚中%2枚を保存）", "Stopped (%2 of %1 pictures saved)")
GUSTARA_MESSAGE(StoppedWithFailures, "中止しました（%1枚中%2枚を保存、%3枚は失敗）", "Stopped (%2 of %1 pictures saved, %3 failed)")
// A batch of one picture: English says "picture".
GUSTARA_MESSAGE(StoppedOne, "中止しました（%1枚中%2枚を保存）", "Stopped (%2 of %1 picture saved)")
GUSTARA_MESSAGE(StoppedWithFailuresOne, "中止しました（%1枚中%2枚を保存、%3枚は失敗）", "Stopped (%2 of %1 picture saved, %3 failed)")
GUSTARA_MESSAGE(KeptGoing, "%1枚中%2枚を保存しました（%3枚は失敗）", "%2 of %1 pictures saved (%3 failed)")
// What a batch wrote, on a line under its last status line when the quality settings are shown:
// %1 a size from FileSizeText, or a count of pictures.
GUSTARA_MESSAGE(TotalWritten, "合計 %1", "%1 in total")
GUSTARA_MESSAGE(Note, "（%1）", " (%1)")
GUSTARA_MESSAGE(AboveTargetSize, "%1枚は目標のファイルサイズを下回りませんでした", "%1 pictures stayed above the target file size")
GUSTARA_MESSAGE(SizeMegabytes, "%1 MB", "%1 MB")
GUSTARA_MESSAGE(SizeKilobytes, "%1 KB", "%1 KB")
// The progress window's caption while a batch runs: picture %1 of %2.
GUSTARA_MESSAGE(ProgressCaption, "進行状況 %1/%2", "Progress %1/%2")
// The reason of a failure that carries no text of its own.
GUSTARA_MESSAGE(UnknownFailure, "原因不明のエラーです", "unknown error")
// Several pictures dropped on the comparison window, %1 of them; it shows the first.
GUSTARA_MESSAGE(CompareFirstOfSeveral, "比べられる画像は一枚ずつです。ドロップされた%1枚のうち最初の画像を表示しています",
                "One picture is compared at a time: the first of the %1 dropped is shown")
// Naming the picture by its file name, %1.
GUSTARA_MESSAGE(Processing, "[%1]を処理しています", "Processing [%1]")
GUSTARA_MESSAGE(FailedPicture, "[%1]の処理に失敗しました", "Failed to process [%1]")
// A picture saved from a file cut short, named by %1; the note under the batch's last line, %1 the names.
GUSTARA_MESSAGE(PartMissingPicture, "[%1]は一部が欠けています（ファイルが途中で切れています）", "[%1] is partly missing: the file is cut short")
GUSTARA_MESSAGE(PartMissingNames, "一部が欠けています: %1", "Partly missing: %1")

// The window's own texts: the progress window's button to the output folder and the caption of
// its list of the pictures that failed or were saved with a part missing; the main window's memo,
// which names HEIC, AVIF and WebP while they are read; the kinds of entries in Qt's file dialog
// that Qt's own Japanese texts leave out.
GUSTARA_MESSAGE(OpenSaveDirButton, "保存先を開く", "Open folder")
GUSTARA_MESSAGE(PicturesToCheck, "確認が必要な画像", "Pictures to check")
GUSTARA_MESSAGE(DropMemo, "画面上に美味しく加工したい画像をドラッグ＆ドロップしてください。\n対応形式：BMP / JPEG / PNG / GIF",
                "Drop pictures on this window to make them look more appetising.\nFormats: BMP / JPEG / PNG / GIF")
GUSTARA_MESSAGE(DropMemoMoreFormats, "画面上に美味しく加工したい画像をドラッグ＆ドロップしてください。\n対応形式：BMP / JPEG / PNG / GIF / HEIC / AVIF / WebP",
                "Drop pictures on this window to make them look more appetising.\nFormats: BMP / JPEG / PNG / GIF / HEIC / AVIF / WebP")
// The window's captions, menus, controls and hints (a caption's (&X) marks its access key).
GUSTARA_MESSAGE(ApplicationTitle, "画像を美味しくするソフト", "Gustara")
GUSTARA_MESSAGE(MainWindowCaption, "料理画像をおいしそうに加工するソフト", "Gustara: tasty food photos")
GUSTARA_MESSAGE(StatusWindowCaption, "進行状況", "Progress")
GUSTARA_MESSAGE(AboutWindowCaption, "このソフトについて", "About Gustara")
GUSTARA_MESSAGE(AboutTitle, "料理画像を美味しそうに加工するソフト", "Makes food photos look tasty")
// The version, %1 major and %2 minor in two digits.
GUSTARA_MESSAGE(AboutVersion, "ver.%1.%2", "ver.%1.%2")
// The About window's link when it leads to the installed README instead of a homepage.
GUSTARA_MESSAGE(AboutReadmeLink, "説明書 (README)", "Manual (README)")
GUSTARA_MESSAGE(CompareWindowCaption, "強さの比較", "Compare strengths")
GUSTARA_MESSAGE(CompareOriginal, "元の画像", "Original")
GUSTARA_MESSAGE(CompareChoose, "この強さにする", "Use this strength")
GUSTARA_MESSAGE(MenuAbout, "このソフトについて(&A)", "&About")
GUSTARA_MESSAGE(MenuFile, "ファイル(&F)", "&File")
GUSTARA_MESSAGE(MenuOpenFiles, "ファイルを開く...", "Open pictures...")
GUSTARA_MESSAGE(MenuCompare, "強さを比べる...", "Compare strengths...")
GUSTARA_MESSAGE(DialogCompare, "強さを比べる", "Compare strengths")
// The open dialogs' filter; %1 is the supported extensions as patterns.
GUSTARA_MESSAGE(OpenFilesFilter, "画像ファイル (%1);;すべてのファイル (*)", "Pictures (%1);;All files (*)")
GUSTARA_MESSAGE(MenuSettings, "設定(&S)", "&Settings")
GUSTARA_MESSAGE(MenuKeepGoing, "失敗しても続ける", "Keep going after a failure")
GUSTARA_MESSAGE(MenuMoreFormats, "HEIC・AVIF・WebP も読み込む", "Read HEIC, AVIF and WebP too")
GUSTARA_MESSAGE(MenuShowQuality, "画質を設定する", "Set the quality")
// The window's language: automatic follows the user's locale; each language names itself.
GUSTARA_MESSAGE(MenuLanguage, "表示言語", "Language")
GUSTARA_MESSAGE(LanguageAutomatic, "自動", "Automatic")
GUSTARA_MESSAGE(LanguageJapanese, "日本語", "日本語")
GUSTARA_MESSAGE(LanguageEnglish, "English", "English")
GUSTARA_MESSAGE(CloseButton, "閉じる", "Close")
GUSTARA_MESSAGE(StopButton, "中止", "Stop")
GUSTARA_MESSAGE(DetailsButton, "詳細", "Details")
GUSTARA_MESSAGE(SizeGroup, "画像サイズ設定", "Resize")
GUSTARA_MESSAGE(SizePreset, "規定の大きさで設定する", "Into a preset box")
GUSTARA_MESSAGE(SizeTyped, "指定した大きさで設定する", "Into this box")
GUSTARA_MESSAGE(SizeWidth, "幅", "W")
GUSTARA_MESSAGE(SizeHeight, "高さ", "H")
GUSTARA_MESSAGE(SaveGroup, "保存設定", "Saving")
// "Add [prefix|suffix] [text] to the name": the choice, the list and the text after the field.
GUSTARA_MESSAGE(SaveAffix, "ファイル名の", "Add")
GUSTARA_MESSAGE(SaveBefore, "前に", "prefix")
GUSTARA_MESSAGE(SaveAfter, "後に", "suffix")
GUSTARA_MESSAGE(SaveAffixEnd, "を付けて保存する", "to the name")
GUSTARA_MESSAGE(SaveMakeDir, "フォルダを作成しその中に保存する", "Save into a new folder")
GUSTARA_MESSAGE(SaveDirName, "フォルダ名", "Folder")
GUSTARA_MESSAGE(SaveProgressive, "プログレッシブ形式で保存する", "Save as progressive JPEG")
GUSTARA_MESSAGE(StrengthGroup, "加工する強さ", "Strength")
GUSTARA_MESSAGE(StrengthLevel3, "かなり強く加工", "Very strong")
GUSTARA_MESSAGE(StrengthLevel2, "強く加工", "Strong")
GUSTARA_MESSAGE(StrengthLevel1, "通常レベルの加工", "Normal")
GUSTARA_MESSAGE(QualityGroup, "品質設定", "Quality")
GUSTARA_MESSAGE(QualityByLevel, "画質で設定する", "By picture quality")
GUSTARA_MESSAGE(QualityBest, "最高画質", "Best")
GUSTARA_MESSAGE(QualityHigh, "高画質", "High")
GUSTARA_MESSAGE(QualityMedium, "中画質", "Medium")
GUSTARA_MESSAGE(QualityLow, "低画質", "Low")
GUSTARA_MESSAGE(QualityLowest, "最低画質", "Lowest")
GUSTARA_MESSAGE(QualityBySize, "ファイルサイズで設定する", "By file size")
GUSTARA_MESSAGE(QualityKilobytes, "KB", "KB")
GUSTARA_MESSAGE(EffectGroup, "効果設定", "Effects")
GUSTARA_MESSAGE(EffectContrast, "コントラストを調整する", "Adjust the contrast")
GUSTARA_MESSAGE(EffectVivid, "彩度を上げる", "More vivid colours")
GUSTARA_MESSAGE(EffectBrightness, "明るさを調整する", "Adjust the brightness")
GUSTARA_MESSAGE(EffectBrighter, "明るく", "Lighter")
GUSTARA_MESSAGE(EffectDarker, "暗く", "Darker")
GUSTARA_MESSAGE(EffectMonochrome, "モノクロにする", "Monochrome")
GUSTARA_MESSAGE(HintSize, "画像サイズも変更したい場合はチェックを入れてください。", "Check this to resize the pictures too.")
GUSTARA_MESSAGE(HintSizePreset, "選択した範囲に収まるように加工します。", "Each picture is fitted into the chosen box.")
GUSTARA_MESSAGE(HintSizeTyped, "指定した範囲に収まるように加工します。", "Each picture is fitted into the box typed here.")
GUSTARA_MESSAGE(HintSave, "保存する際のファイル名などを設定します。保存先は加工する画像と同じ場所に保存されます。", "How the new pictures are named. They are saved beside the pictures they come from.")
GUSTARA_MESSAGE(HintStrength, "加工する強さを選択します。", "How strongly the pictures are changed.")
GUSTARA_MESSAGE(HintDrop, "画面上のどこでもいいので加工したい画像をドラッグ＆ドロップしてください", "Drag and drop the pictures anywhere on the window")
GUSTARA_MESSAGE(QtFolder, "フォルダ", "Folder")
GUSTARA_MESSAGE(QtDrive, "ドライブ", "Drive")
GUSTARA_MESSAGE(QtUnknownKind, "不明", "Unknown")

// Requests the command line refuses before any picture is touched.
GUSTARA_MESSAGE(UsageSize, "--size: 1280 1024 800 640 400 320 160 のいずれか、または 幅x高さ を指定してください", "--size: give one of 1280 1024 800 640 400 320 160, or WIDTHxHEIGHT")
GUSTARA_MESSAGE(UsageLevel, "--level: 1, 2, 3 のいずれかを指定してください", "--level: give 1, 2 or 3")
GUSTARA_MESSAGE(UsageQuality, "--quality: %1 から %2 の整数を指定してください", "--quality: give a whole number from %1 to %2")
GUSTARA_MESSAGE(UsageJobs, "--jobs: %1 以上の整数を指定してください", "--jobs: give a whole number of at least %1")
GUSTARA_MESSAGE(UsageMemory, "--memory: %1 以上の整数を指定してください", "--memory: give a whole number of at least %1")
GUSTARA_MESSAGE(UsageUnknownOption, "不明なオプションか値のないオプションです: %1", "unknown option, or an option without its value: %1")
GUSTARA_MESSAGE(UsageOneNaming, "--prefix, --suffix, --dir はどれか一つだけ指定してください", "give only one of --prefix, --suffix and --dir")
GUSTARA_MESSAGE(UsageOneQuality, "--quality と --target-size はどちらか一つだけ指定してください", "give only one of --quality and --target-size")
GUSTARA_MESSAGE(UsageNoPicture, "画像を指定してください", "name at least one picture")
GUSTARA_MESSAGE(UsageCompareOutput, "--compare: 書き出すファイルの名前を指定してください", "--compare: give the name of the file to write")
GUSTARA_MESSAGE(UsageCompareExtension, "--compare: 書き出すファイルの名前は .jpg か .jpeg で終えてください", "--compare: the name of the file to write must end in .jpg or .jpeg")
GUSTARA_MESSAGE(UsageIfExists, "--if-exists: number か skip を指定してください", "--if-exists: give number or skip")
GUSTARA_MESSAGE(UsageOutputDir, "--output-dir: フォルダの名前を指定してください", "--output-dir: give the name of a folder")
GUSTARA_MESSAGE(UsageStandardInput, "「-」: 標準入力からは読みません", "'-': standard input is not read")
GUSTARA_MESSAGE(UsageCompareOnePicture, "--compare には画像を一つだけ指定してください", "--compare takes exactly one picture")
// What the command line reports besides the pictures' failures.
GUSTARA_MESSAGE(CannotCreateOutputDir, "出力先のフォルダ %1 を作成できません: %2", "cannot create the output folder %1: %2")
GUSTARA_MESSAGE(SkippedTakenName, "[%1]は書き込みません: %2 があります", "[%1] skipped: %2 exists")
GUSTARA_MESSAGE(NotConvertedCount, "%1枚の画像は変換していません", "%1 pictures not converted")
GUSTARA_MESSAGE(CannotWriteList, "書き込んだファイルの一覧を標準出力に書けません", "cannot write the list of written files to standard output")
// Folder trees (-r), the capture date, dry runs and the JSON report.
GUSTARA_MESSAGE(CannotListFolder, "フォルダ %1 の中を読めません: %2", "cannot list the folder %1: %2")
GUSTARA_MESSAGE(ReasonNameTaken, "保存する名前のファイルが既にあります", "a file has the output name")
GUSTARA_MESSAGE(MenuFolders, "フォルダの中の画像も加工する", "Convert the pictures inside folders too")
GUSTARA_MESSAGE(MenuKeepDate, "撮影日時を残す", "Keep the capture date")
GUSTARA_MESSAGE(CliHelpRecursive, "指定したフォルダの中の画像を下のフォルダまですべて加工する (パスの順。「.」で始まる名前、フォルダへのリンク、以前の出力は飛ばす)",
                "convert the pictures of folders named, at any depth, in path order; names starting with \".\", links to folders and earlier outputs are skipped")
GUSTARA_MESSAGE(CliHelpKeepDate, "元の画像の撮影日時を出力の EXIF に残し、更新日時も元の画像に合わせる",
                "keep the source's capture date in the output's EXIF and its modification time on the output")
GUSTARA_MESSAGE(CliHelpDryRun, "何も書き込まず、それぞれの画像を保存する名前だけを表示", "write nothing; print the name each picture would be written under")
GUSTARA_MESSAGE(CliHelpJson, "保存したファイルの一覧の代わりに、画像ごとに JSON を一行ずつ表示", "print one JSON object per picture per line instead of the paths")
// The line that follows every refused request.
GUSTARA_MESSAGE(UsageHelpHint, "(gustara-cli --help で使い方を表示します)", "(gustara-cli --help shows how to use it)")
// A folder named on the command line (not dropped), and the command line's counts of one picture.
GUSTARA_MESSAGE(ReasonFolderNamed, "フォルダには対応していません（中の画像を指定してください）", "folders are not supported (name the pictures in them)")
GUSTARA_MESSAGE(AboveTargetSizeOne, "%1枚は目標のファイルサイズを下回りませんでした", "%1 picture stayed above the target file size")
GUSTARA_MESSAGE(NotConvertedCountOne, "%1枚の画像は変換していません", "%1 picture not converted")

// A launch of the window waits for the window already open to take its pictures.
GUSTARA_MESSAGE(WindowNotAnswering, "開いているウィンドウが応答しません。応答するまで待ちます（Ctrl+C でやめます）", "The open window is not answering; waiting for it (Ctrl+C gives up)")

// gustara --help: the window's own options, printed on standard output.
GUSTARA_MESSAGE(WindowHelp,
    "使い方: gustara [画像]...\n"
    "料理の写真をおいしそうに加工するウィンドウを開きます。\n"
    "画像を指定すると、ウィンドウにドロップしたときと同じように変換します。\n"
    "ウィンドウが既に開いていれば、そのウィンドウに渡します。\n"
    "\n"
    "  -h, --help     この説明を表示\n"
    "      --version  版を表示\n"
    "\n"
    "コマンドラインだけで変換するには gustara-cli を使います (gustara-cli --help)。\n",
    "Usage: gustara [PICTURE]...\n"
    "Opens the window that makes photographs of food look more appetising. Pictures\n"
    "named here are converted as if dropped on the window; a window already open\n"
    "takes them instead.\n"
    "\n"
    "  -h, --help     show this help\n"
    "      --version  show the version\n"
    "\n"
    "To convert on the command line alone, use gustara-cli (gustara-cli --help).\n")

// gustara-cli --help: the usage line, one line per option (%1 its default, %2 and %3 its range),
// and the notes; each paragraph is wrapped to the terminal's 80 columns.
GUSTARA_MESSAGE(CliHelpUsage,
    "使い方: gustara-cli [オプション] 画像...\n"
    "料理の写真をおいしそうに加工し、JPEG として元の画像の隣に保存します。\n",
    "Usage: gustara-cli [OPTION]... PICTURE...\n"
    "Makes photographs of food look more appetising and saves each as a JPEG file beside it.\n")
GUSTARA_MESSAGE(CliHelpLevel, "加工の強さ (既定 %1)", "flavour strength (default %1)")
GUSTARA_MESSAGE(CliHelpSize,
    "画像を枠に収める: SIDE は 1280 1024 800 640 400 320 160 (正方形)、または幅 W と高さ H (それぞれ %2 以上の整数)。既定: 変更しない",
    "fit into a box: SIDE one of 1280 1024 800 640 400 320 160 (square), or a box W by H, each a whole number of at least %2; default: off")
GUSTARA_MESSAGE(CliHelpPrefix, "元の画像の隣に TEXT+名前.jpg として保存 (既定: --prefix=%1)", "save beside the source as TEXT+name.jpg (default: --prefix=%1)")
GUSTARA_MESSAGE(CliHelpSuffix, "元の画像の隣に 名前+TEXT.jpg として保存", "save beside the source as name+TEXT.jpg")
GUSTARA_MESSAGE(CliHelpDir, "元の画像のフォルダ内のサブフォルダ NAME に保存", "save into the sub-folder NAME of the source's folder")
GUSTARA_MESSAGE(CliHelpOutputDir, "元の画像の隣ではなくフォルダ DIR に保存 (なければ作る)", "save into the folder DIR instead of beside the source (created if missing)")
GUSTARA_MESSAGE(CliHelpIfExists, "保存する名前が既にあれば (1), (2), ... を付ける (既定)、または何も書き込まない (skip)",
                "when the output name is taken, add (1), (2), ... (default), or write nothing (skip)")
GUSTARA_MESSAGE(CliHelpProgressive, "プログレッシブ JPEG で保存", "write progressive JPEG files")
GUSTARA_MESSAGE(CliHelpQuality, "JPEG 品質 %2..%3 (既定 %1)", "JPEG quality %2..%3 (default %1)")
GUSTARA_MESSAGE(CliHelpTargetSize, "KB*1024 バイト未満になる最も高い品質 (100, 90, ..., 0) で保存",
                "largest quality of 100, 90, ..., 0 whose file is below KB*1024 bytes")
GUSTARA_MESSAGE(CliHelpKeepGoing, "失敗した画像があっても続ける (既定: 最初の失敗で止める)", "go on after a failed picture (default: stop at the first)")
GUSTARA_MESSAGE(CliHelpMoreFormats, "HEIC, HEIF, AVIF, WebP の画像も読み込む (既定: 読み込まない)", "read HEIC, HEIF, AVIF and WebP pictures too (default: off)")
GUSTARA_MESSAGE(CliHelpCompare, "画像一枚の元の画像と三つの強さを横に並べた JPEG を OUT.jpg に保存 (それぞれ --size の枠に収める。既定 %1)",
                "write one JPEG with the picture as it is and at the three strengths side by side, each fitted into --size (default %1)")
GUSTARA_MESSAGE(CliHelpJobs, "同時に処理する画像の数 (既定: CPU のコア数)。結果と表示の順は変わらない",
                "pictures worked on at the same time (default: the number of cores); files are written and reported in the order given")
GUSTARA_MESSAGE(CliHelpMemory, "同時に処理する画像が使うメモリの目安の上限 (既定: 物理メモリの 1/4)。最も大きい画像も一枚ずつなら必ず処理する",
                "memory the pictures in flight may take, estimated (default: a quarter of physical memory); the largest picture still runs alone")
GUSTARA_MESSAGE(CliHelpQuiet, "エラーだけを表示 (保存したファイルの一覧も表示しない)", "print errors only (not even the list of files written)")
GUSTARA_MESSAGE(CliHelpProgress, "標準エラーが端末でなくても進行状況の行を表示", "show the progress line even when standard error is no terminal")
GUSTARA_MESSAGE(CliHelpNull, "保存したファイルのパスを改行ではなく NUL で区切る (xargs -0 用)", "end each path written with NUL instead of a newline (for xargs -0)")
GUSTARA_MESSAGE(CliHelpHelp, "この説明を表示", "show this help")
GUSTARA_MESSAGE(CliHelpVersion, "版を表示", "show the version")
GUSTARA_MESSAGE(CliHelpNotes,
    "既存のファイルは上書きせず、名前に (1), (2), ... を付けます。元の画像は変更しません。\n"
    "終了状態: 0 すべて成功、1 失敗した画像あり、2 引数や設定の誤り、130/143/129 Ctrl+C/kill/端末を閉じて中止 (処理中の画像は書き終えるか捨て、その後は書き込まない)。\n",
    "An existing file is never replaced: a taken name gets (1), (2), ... Sources are never changed.\n"
    "Exit status: 0 all converted, 1 a picture failed, 2 a wrong argument or setting, 130/143/129 stopped by Ctrl+C/kill/a closed terminal (the picture in work is finished or dropped, none after it).\n")
// An unknown option: a picture whose name starts with "-" is named after "--".
GUSTARA_MESSAGE(UsageDashNameHint, "「-」で始まる名前の画像は -- の後に指定してください (例: gustara-cli -- -photo.jpg)",
                "a picture whose name starts with - goes after --, as in: gustara-cli -- -photo.jpg")
