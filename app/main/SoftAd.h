#pragma once

#include <qwindowdefs.h>

#include <cstdint>

// The advertising library's four entry points. The library itself exists only for Windows;
// these stand-ins accept the same calls, add no menu item, keep no state and never touch the
// network, so that the main window keeps its calls where they belong: SA_Initialize first of
// all when it is created, SA_Cleanup last of all when it is destroyed. A Windows build would
// forward WM_MEASUREITEM and WM_DRAWITEM to the two menu-item calls from a native event
// filter; X11 and Wayland have no owner-drawn menu messages, so nothing calls them here.
// None of them fails.

void SA_Initialize(WId window, int32_t a, int32_t b, int32_t c);
// measureItem: the platform's record for measuring an owner-drawn menu item.
void SA_InitMenuItem(void* measureItem);
// drawItem: the platform's record for drawing an owner-drawn menu item.
void SA_DrawMenuItem(void* drawItem);
void SA_Cleanup();
