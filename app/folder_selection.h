// The folders two tools need: the customizing tool's folder (one for all panels) and each panel's
// image folder. A shell folder browser whose OK button is enabled only for a folder that holds
// one of the flow's two probe files, the Setup flows around it, and the folder steps of START.
// Main thread; the browser's callback runs on it too, inside the modal browser.
#pragma once

#include <windows.h>

namespace panelcast {

enum class FolderFlow { kTool, kImages };
enum class BrowseOutcome { kCancelled, kFailed, kChosen };

// The flow's probe names into the shell state (both start with a backslash).
void SetProbeNames(FolderFlow flow);

// Whether `folder` holds probe A or probe B (the shell state's, set by SetProbeNames). A folder
// too long for either name in 260 units holds neither.
bool FolderHoldsProbe(const wchar_t* folder);

// The browser with the flow's prompt and probe names, owned by `owner`; on kChosen the shell
// state's pathBuffer holds the folder.
BrowseOutcome BrowseForFolder(HWND owner, FolderFlow flow);

// Setup of FeedMode 1 and FeedMode 4 (the latter for the selected panel's slot).
void RunToolFolderSetup(HWND window);
void RunImageFolderSetup(HWND window);

// START's folder steps: true when the folder (the tool folder, or the selected slot's image
// folder) holds a probe file, or the browse the step offered instead chose one.
bool EnsureToolFolder(HWND window);
bool EnsureImageFolder(HWND window);

}  // namespace panelcast
