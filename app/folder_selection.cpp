#include "app/folder_selection.h"

#include <shlobj.h>

#include <cwchar>

#include "app/selected_slot.h"
#include "app/shell_state.h"
#include "base/file_exists.h"
#include "base/messages.h"
#include "devices/device_list.h"
#include "images/image_path.h"

namespace panelcast {
namespace {

constexpr int kBrowserOkButton = 1;

constexpr wchar_t kToolPrompt[] =
    L"Please select the folder with the Skinwright tool files: \"Skinwright_x86.exe\" and "
    L"\"Skinwright_x64.exe\"";
constexpr wchar_t kImagePrompt[] =
    L"Please select the folder with the set of static images to be shown in FIP device";

bool FolderHasFile(const wchar_t* folder, const wchar_t* name) {
  wchar_t path[kPathCapacity];
  return JoinFolderAndName(folder, name, path, kPathCapacity) && FileExists(path);
}

// OK only for a folder that holds probe A or probe B.
void ApplyOkRule(HWND browser, const wchar_t* folder) {
  const ShellState& shell = Shell();
  HWND ok = GetDlgItem(browser, kBrowserOkButton);
  if (FolderHasFile(folder, shell.probeNameA)) {
    EnableWindow(ok, TRUE);
    return;
  }
  EnableWindow(ok, FALSE);
  if (FolderHasFile(folder, shell.probeNameB)) EnableWindow(ok, TRUE);
}

void OnBrowserInitialized(HWND browser) {
  wchar_t current[kPathCapacity];
  const DWORD length = GetCurrentDirectoryW(kPathCapacity, current);
  if (length == 0 || length >= kPathCapacity) return;
  SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(current));
  ApplyOkRule(browser, current);
}

// The folder last shown in the status line, for the rule's second application below.
wchar_t g_selectedFolder[MAX_PATH] = {};  // main thread only
constexpr UINT_PTR kOkRuleTimer = 0x5046;

// Some shells settle the OK button themselves after telling us of a new selection, which would
// undo the rule; it is applied once more when the notification is over.
void CALLBACK ReapplyOkRule(HWND browser, UINT, UINT_PTR timer, DWORD) {
  KillTimer(browser, timer);
  ApplyOkRule(browser, g_selectedFolder);
}

void OnBrowserSelectionChanged(HWND browser, LPCITEMIDLIST item) {
  wchar_t folder[MAX_PATH] = {};
  if (!item || !SHGetPathFromIDListW(item, folder)) return;  // not a file-system folder
  SendMessageW(browser, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(folder));
  ApplyOkRule(browser, folder);
  std::wcscpy(g_selectedFolder, folder);
  SetTimer(browser, kOkRuleTimer, 0, ReapplyOkRule);
}

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM lParam, LPARAM /*data*/) {
  switch (message) {
    case BFFM_INITIALIZED:
      OnBrowserInitialized(browser);
      break;
    case BFFM_SELCHANGED:
      OnBrowserSelectionChanged(browser, reinterpret_cast<LPCITEMIDLIST>(lParam));
      break;
    default:
      break;
  }
  return 0;
}

// What a browse that chose nothing tells the user; false so callers can return it.
bool ReportUnchosen(HWND window, BrowseOutcome outcome) {
  ShowMessage(window, outcome == BrowseOutcome::kCancelled ? msg::kFolderCanceled
                                                           : msg::kFolderFailed);
  return false;
}

// The selection may have changed while a folder browser was open: a selection that names no slot
// takes no folder.
void SetSelectedFolder(const wchar_t* path) {
  if (DeviceSlot* slot = SelectedSlot()) slot->folderPath.Set(path);
}

}  // namespace

void SetProbeNames(FolderFlow flow) {
  ShellState& shell = Shell();
  const bool tool = flow == FolderFlow::kTool;
  std::wcscpy(shell.probeNameA, tool ? L"\\Skinwright_x86.exe" : L"\\FIP1.BMP");
  std::wcscpy(shell.probeNameB, tool ? L"\\Skinwright_x64.exe" : L"\\FIP1.JPG");
}

bool FolderHoldsProbe(const wchar_t* folder) {
  ShellState& shell = Shell();
  const std::size_t capacity = kPathCapacity;
  if (JoinFolderAndName(folder, shell.probeNameA, shell.pathBuffer, capacity) &&
      FileExists(shell.pathBuffer)) {
    return true;
  }
  return JoinFolderAndName(folder, shell.probeNameB, shell.pathBuffer, capacity) &&
         FileExists(shell.pathBuffer);
}

BrowseOutcome BrowseForFolder(HWND owner, FolderFlow flow) {
  ShellState& shell = Shell();
  SetProbeNames(flow);
  shell.pathBuffer[0] = L'\0';
  shell.browseInfo = BROWSEINFOW{};
  shell.browseInfo.hwndOwner = owner;
  shell.browseInfo.lpszTitle = flow == FolderFlow::kTool ? kToolPrompt : kImagePrompt;
  shell.browseInfo.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
  shell.browseInfo.lpfn = BrowseCallback;
  PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&shell.browseInfo);
  if (!item) return BrowseOutcome::kCancelled;
  const bool hasPath = SHGetPathFromIDListW(item, shell.pathBuffer) != FALSE;
  CoTaskMemFree(item);
  if (!hasPath) {
    shell.pathBuffer[0] = L'\0';
    return BrowseOutcome::kFailed;
  }
  return BrowseOutcome::kChosen;
}

namespace {

// SETUP's folder flow: ask, browse, and only for a chosen folder confirm and keep it.
void RunFolderSetup(HWND window, FolderFlow flow, void (*keep)(const wchar_t* folder)) {
  const bool tool = flow == FolderFlow::kTool;
  ShowMessage(window, tool ? msg::kSelectToolFolder : msg::kSelectImageFolder);
  const BrowseOutcome outcome = BrowseForFolder(window, flow);
  if (outcome != BrowseOutcome::kChosen) {
    (void)ReportUnchosen(window, outcome);
    return;
  }
  ShowMessage(window, tool ? msg::kToolFolderSelected : msg::kImageFolderSelected);
  keep(Shell().pathBuffer);
}

void KeepToolFolder(const wchar_t* folder) { std::wcscpy(Shell().toolFolder, folder); }

}  // namespace

void RunToolFolderSetup(HWND window) { RunFolderSetup(window, FolderFlow::kTool, KeepToolFolder); }

void RunImageFolderSetup(HWND window) {
  RunFolderSetup(window, FolderFlow::kImages, SetSelectedFolder);
}

bool EnsureToolFolder(HWND window) {
  SetProbeNames(FolderFlow::kTool);
  if (FolderHoldsProbe(Shell().toolFolder)) return true;
  ShowMessage(window, msg::kSelectToolFolder);
  const BrowseOutcome outcome = BrowseForFolder(window, FolderFlow::kTool);
  if (outcome != BrowseOutcome::kChosen) return ReportUnchosen(window, outcome);
  KeepToolFolder(Shell().pathBuffer);
  return true;
}

bool EnsureImageFolder(HWND window) {
  SetProbeNames(FolderFlow::kImages);
  wchar_t folder[kPathCapacity] = {};
  if (const DeviceSlot* slot = SelectedSlot()) slot->folderPath.Get(folder);
  if (FolderHoldsProbe(folder)) return true;
  ShowMessage(window, msg::kImagesMissing);
  const BrowseOutcome outcome = BrowseForFolder(window, FolderFlow::kImages);
  if (outcome != BrowseOutcome::kChosen) return ReportUnchosen(window, outcome);
  SetSelectedFolder(Shell().pathBuffer);
  return true;
}

}  // namespace panelcast
