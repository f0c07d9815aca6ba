#pragma once

// Captions shared by the windows and message boxes of the application.
namespace gustara {

// Names the application and captions every message box.
inline constexpr char kApplicationTitle[] = "画像を美味しくするソフト";
inline constexpr char kMainWindowCaption[] = "料理画像をおいしそうに加工するソフト";
inline constexpr char kStatusWindowCaption[] = "進行状況";
inline constexpr char kAboutWindowCaption[] = "このソフトについて";
// %1 is the full path of the settings file.
inline constexpr char kMessageCannotWriteSettings[] = "%1 に書き込めません.";
// The status line when the desktop cannot open the output folder (no file manager or xdg-open).
inline constexpr char kMessageCannotOpenSaveDir[] = "保存先のフォルダを開けませんでした";

} // namespace gustara
