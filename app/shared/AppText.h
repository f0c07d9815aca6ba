#pragma once

// Captions shared by the windows and message boxes of the application.
namespace gustara {

// Names the application and captions every message box.
inline constexpr char kApplicationTitle[] = "画像を美味しくするソフト";
inline constexpr char kMainWindowCaption[] = "料理画像をおいしそうに加工するソフト";
inline constexpr char kStatusWindowCaption[] = "進行状況";
inline constexpr char kAboutWindowCaption[] = "このソフトについて";
inline constexpr char kCompareWindowCaption[] = "強さの比較";
inline constexpr char kCompareMenuItem[] = "強さを比べる...";
inline constexpr char kCompareOriginalCaption[] = "元の画像";
inline constexpr char kCompareChooseButton[] = "この強さにする";
// The About window's link when it leads to the installed README instead of a homepage.
inline constexpr char kAboutReadmeLinkText[] = "説明書 (README)";

// The menus beside "このソフトについて(&A)".
inline constexpr char kFileMenuCaption[] = "ファイル(&F)";
inline constexpr char kOpenFilesCaption[] = "ファイルを開く...";
inline constexpr char kSettingsMenuCaption[] = "設定(&S)";
inline constexpr char kKeepGoingCaption[] = "失敗しても続ける";
inline constexpr char kMoreFormatsCaption[] = "HEIC・AVIF・WebP も読み込む";
inline constexpr char kShowQualityCaption[] = "画質を設定する";
// %1 is the supported extensions as patterns.
inline constexpr char kOpenFilesFilter[] = "画像ファイル (%1);;すべてのファイル (*)";

// The progress window's buttons.
inline constexpr char kCloseCaption[] = "閉じる";
inline constexpr char kStopCaption[] = "中止";
inline constexpr char kDetailsCaption[] = "詳細";

} // namespace gustara
