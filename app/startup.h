// What the main window does when it is created and when it closes.
#pragma once

#include <windows.h>

namespace panelcast {

// The start-up sequence (WM_INITDIALOG). On a failure it has shown its message and ended the
// window. Returns what the dialog manager expects from WM_INITDIALOG.
INT_PTR RunStartup(HWND window, WPARAM wParam);

// Ends the main window: the modal dialog ends with `result` and a quit message is posted, which
// the entry point's message loop consumes.
void EndMainWindow(HWND window, WPARAM result);

// The close request and the destruction: stop every worker and the watcher, deinitialise the
// library (only once, however often this runs), end the window.
void RunShutdown(HWND window, WPARAM result);

// The end of the session (WM_ENDSESSION with `ending` true): the same as RunShutdown without any
// message (nobody can answer one then) and within a few seconds, since the system ends the
// process soon after. An end that was called off changes nothing.
void RunSessionEnd(HWND window, WPARAM ending);

}  // namespace panelcast
