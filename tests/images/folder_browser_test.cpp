// The folder browser, the Setup flows, START's folder steps and the customizing tool's launch,
// end to end: bin/Panelcast.exe with one emulated panel, driven through its window and message
// boxes; the browser's selection is set from inside the program by the emulator (BROWSE), since
// that message carries a pointer.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/driver/driver.h"
#include "tests/images/test_pictures.h"

namespace {

constexpr DWORD kTimeoutMs = 10000;
constexpr int kBrowserOk = 1;
constexpr int kBrowserCancel = 2;
const std::string kPanel = "EMU0001";
// The program's texts around a browse.
constexpr wchar_t kImagePrompt[] =
    L"Please select the folder with the set of static images to be shown in FIP device...";
constexpr wchar_t kToolPrompt[] =
    L"Please select the folder with the Skinwright tool files: \"Skinwright_x86.exe\" and "
    L"\"Skinwright_x64.exe\"...";
constexpr wchar_t kImagesMissing[] =
    L"Failed to locate images for static showing. Please select the folder with suitable "
    L"images...";
constexpr wchar_t kFolderFailed[] =
    L"Failed to select this folder due to an error. Please try selecting again...";
constexpr wchar_t kCanceled[] =
    L"Folder selection canceled. Current folder settings were not changed...";
// The computer folder: a shell folder with no file-system path of its own.
const std::wstring kComputerFolder = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
constexpr uint32_t kImageColour = 0x20C040;

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

struct BrowserSearch {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK IsBrowser(HWND window, LPARAM parameter) {
  auto* s = reinterpret_cast<BrowserSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (owner == s->pid && IsWindowVisible(window) && lstrcmpW(className, L"#32770") == 0 &&
      FindWindowExW(window, nullptr, L"SysTreeView32", nullptr)) {
    s->found = window;
    return FALSE;
  }
  return TRUE;
}

// The shell's folder browser: a dialog of the program holding a tree view.
HWND FindBrowser(DWORD pid) {
  BrowserSearch search{pid, nullptr};
  EnumWindows(IsBrowser, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Whether one of the browser's static texts reads `text` (the status line).
bool ShowsStatus(HWND browser, const std::wstring& text) {
  for (HWND child = FindWindowExW(browser, nullptr, L"Static", nullptr); child;
       child = FindWindowExW(browser, child, L"Static", nullptr)) {
    if (driver::WindowText(child) == text) return true;
  }
  return false;
}

// The browser's controls, for a failure message.
std::string DescribeControls(HWND browser) {
  std::string out;
  for (HWND child = GetWindow(browser, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    out += "\n  " + Narrow(className) + " " + std::to_string(GetDlgCtrlID(child)) + " \"" +
           Narrow(driver::WindowText(child)) + "\"";
  }
  return out;
}

// The tree's selected item is a direct child of its root (the desktop): a top-level shell folder
// such as the computer folder is selected. Item handles, unlike item texts, can be read from
// another process.
bool SelectionIsTopLevel(HWND browser) {
  HWND tree = FindWindowExW(browser, nullptr, L"SysTreeView32", nullptr);
  if (!tree) return false;
  const LRESULT root = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
  const LRESULT caret = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
  return root && caret && SendMessageW(tree, TVM_GETNEXTITEM, TVGN_PARENT, caret) == root;
}

std::vector<std::string> ReadLines(const std::wstring& path) {
  std::vector<std::string> lines;
  std::ifstream in(Narrow(path));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

class FolderBrowser : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::vector<uint8_t> jpeg =
        images_test::JpegBytes(160, 120, [](int, int) { return kImageColour; });
    ASSERT_FALSE(jpeg.empty());
    ASSERT_TRUE(images_test::WriteFileBytes(images_.File(L"FIP1.JPG"), jpeg));
    ASSERT_TRUE(CopyFileW((driver::TestProgramFolder() + L"Skinwright_x86.exe").c_str(),
                          tool32_.File(L"Skinwright_x86.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((driver::TestProgramFolder() + L"Skinwright_x86.exe").c_str(),
                          toolBoth_.File(L"Skinwright_x86.exe").c_str(), FALSE));
    const std::wstring x64 = driver::TestProgramFolder() + L"Skinwright_x64.exe";
    if (GetFileAttributesW(x64.c_str()) != INVALID_FILE_ATTRIBUTES) {
      ASSERT_TRUE(CopyFileW(x64.c_str(), toolBoth_.File(L"Skinwright_x64.exe").c_str(), FALSE));
    }
    toolLog_ = empty_.File(L"..\\skinwright-" + std::to_wstring(GetTickCount()) + L".log");
    driver::LaunchOptions options;
    options.environment.emplace_back(L"PANELCAST_SKINWRIGHT_LOG", toolLog_);
    session_ = driver::LaunchWithPanels(1, options);
    ASSERT_TRUE(session_) << "the program did not come up";
    window_ = session_->mainWindow;
    pid_ = session_->program->Id();
    // Without the stand-in device-information library the start-up says that the panels could
    // not be identified; that box is not what these tests are about.
    if (const auto box = driver::WaitForMessageBox(pid_, 3000)) {
      if (box->text.rfind(L"Getting hardware info", 0) == 0) {
        driver::AnswerMessageBox(box->window, IDOK);
        ASSERT_TRUE(driver::WaitForWindowGone(box->window, kTimeoutMs));
      }
    }
    driver::SelectListLine(window_, IDC_DEVICE_LIST, 0);
  }
  void TearDown() override {
    session_.reset();
    DeleteFileW(toolLog_.c_str());
  }

  void ChooseMode(int radio) {
    driver::Click(window_, radio);
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::IsChecked(window_, radio); }, kTimeoutMs));
  }

  // The next box: its text and title (and the icon, when given) must be these; answered with OK.
  void ExpectBox(const wchar_t* title, const wchar_t* text,
                 std::optional<driver::BoxIcon> icon = std::nullopt) {
    const auto box = driver::AnswerNextMessageBox(pid_, IDOK, kTimeoutMs);
    ASSERT_TRUE(box) << "no message box; expected " << Narrow(text);
    EXPECT_EQ(box->title, title);
    EXPECT_EQ(box->text, text);
    if (icon) {
      EXPECT_EQ(box->icon, *icon) << driver::BoxIconName(box->icon);
    }
  }

  // The browser once it has initialised: its first selection (the program's current folder)
  // is made and shown in the status line, so a selection made now is not overtaken by it.
  HWND WaitForBrowser() {
    HWND browser = nullptr;
    driver::WaitUntil(
        [&] {
          browser = FindBrowser(pid_);
          return browser && HasStatus(browser);
        },
        kTimeoutMs);
    return browser;
  }

  static bool HasStatus(HWND browser) {
    for (HWND child = FindWindowExW(browser, nullptr, L"Static", nullptr); child;
         child = FindWindowExW(browser, child, L"Static", nullptr)) {
      if (driver::WindowText(child).find(L':') == 1) return true;  // a path, "X:\..."
    }
    return false;
  }

  // Selects `folder` in the open browser and waits until the status line shows it. The shell's
  // tree fills in lazily and now and then drops a selection made meanwhile: asked again then.
  void Select(HWND browser, const std::wstring& folder) {
    bool shown = false;
    for (int attempt = 0; attempt < 5 && !shown; ++attempt) {
      ASSERT_TRUE(session_->panels->SelectInFolderBrowser(folder));
      shown = driver::WaitUntil([&] { return ShowsStatus(browser, folder); }, kTimeoutMs / 5);
    }
    ASSERT_TRUE(shown)
        << "the status line does not show " << Narrow(folder) << "; controls:"
        << DescribeControls(browser);
    driver::SaveScreenshot(L"folder_browser_last", browser);
  }

  // Selects the computer folder and confirms it as the browser's OK would: the command is posted,
  // since the browser may well have disabled the button for a folder without a path.
  void ConfirmComputerFolder(HWND browser) {
    bool selected = false;
    for (int attempt = 0; attempt < 5 && !selected; ++attempt) {
      ASSERT_TRUE(session_->panels->SelectInFolderBrowser(kComputerFolder));
      selected = driver::WaitUntil([&] { return SelectionIsTopLevel(browser); }, kTimeoutMs / 5);
    }
    ASSERT_TRUE(selected) << "the computer folder is not selected; controls:"
                          << DescribeControls(browser);
    driver::SaveScreenshot(L"folder_browser_computer", browser);
    driver::PostCommand(browser, kBrowserOk, BN_CLICKED);
    ASSERT_TRUE(driver::WaitForWindowGone(browser, kTimeoutMs));
  }

  // Clicks `button` of the main window, answers the box that comes (`title`, `text`) and returns
  // the browser that follows it, once initialised (null when none came).
  HWND BrowseAfter(int button, const wchar_t* title, const wchar_t* text) {
    driver::Click(window_, button);
    ExpectBox(title, text);
    return WaitForBrowser();
  }

  // The browser is cancelled and the program says that nothing changed.
  void CancelBrowse(HWND browser) {
    Answer(browser, kBrowserCancel);
    ExpectBox(L"Information", kCanceled);
  }

  // The browser is answered and gone.
  void Answer(HWND browser, int button) {
    driver::Click(browser, button);
    ASSERT_TRUE(driver::WaitForWindowGone(browser, kTimeoutMs));
  }

  // The OK button settles in `enabled` (the rule runs right after the status line is set).
  bool OkSettles(HWND browser, bool enabled) {
    return driver::WaitUntil([&] { return driver::IsEnabled(browser, kBrowserOk) == enabled; },
                             2000) &&
           driver::IsEnabled(browser, kBrowserOk) == enabled;
  }

  bool Running() { return driver::IsEnabled(window_, IDC_STOP); }
  bool NoMessageBox() { return driver::MessageBoxWindows(pid_).empty(); }

  images_test::TempFolder images_{L"browse-images"};
  images_test::TempFolder empty_{L"browse-empty"};
  images_test::TempFolder tool32_{L"browse-tool32"};
  images_test::TempFolder toolBoth_{L"browse-tool"};
  std::wstring toolLog_;
  std::unique_ptr<driver::PanelSession> session_;
  HWND window_ = nullptr;
  DWORD pid_ = 0;
};

TEST_F(FolderBrowser, ImageSetupEnablesOkOnlyForAFolderWithAnImageAndShowsThePath) {
  ChooseMode(IDC_MODE_STATIC);
  HWND browser = BrowseAfter(IDC_SETUP, L"Information", kImagePrompt);
  ASSERT_NE(browser, nullptr) << "no folder browser";
  // One folder per browsing: Wine's folder tree now and then ignores a second selection made
  // among siblings of the first.
  Select(browser, empty_.Path());
  EXPECT_TRUE(OkSettles(browser, false)) << "OK for a folder without FIP1";
  CancelBrowse(browser);

  browser = BrowseAfter(IDC_SETUP, L"Information", kImagePrompt);
  ASSERT_NE(browser, nullptr) << "no folder browser";
  Select(browser, images_.Path());
  EXPECT_TRUE(OkSettles(browser, true)) << "no OK for a folder with only FIP1.JPG";
  driver::SaveScreenshot(L"folder_browser_images", browser);
  Answer(browser, kBrowserOk);
  ExpectBox(L"Information",
            L"The new folder has been selected. Please use the \"Start\" button to start showing "
            L"the images on the selected FIP device...");

  // START now finds the images: no message, the worker runs and image 1 reaches the panel.
  driver::Click(window_, IDC_START);
  ASSERT_TRUE(driver::WaitUntil([&] { return Running(); }, kTimeoutMs));
  EXPECT_TRUE(driver::WaitUntil(
      [&] {
        const std::vector<uint8_t> frame = session_->panels->Image(kPanel, 1);
        return frame.size() == 230400 &&
               images_test::Near(images_test::FramePixel(frame, 200, 120), kImageColour, 24);
      },
      kTimeoutMs));
  EXPECT_TRUE(NoMessageBox());
}

TEST_F(FolderBrowser, CancelLeavesTheFolderAndStartWithoutImagesBrowsesThenStartsAtOnce) {
  ChooseMode(IDC_MODE_STATIC);
  // The program's folder (its current directory, bin/) holds no images: START says so and
  // browses at once.
  HWND browser = BrowseAfter(IDC_START, L"Error", kImagesMissing);
  ASSERT_NE(browser, nullptr);
  CancelBrowse(browser);
  EXPECT_FALSE(Running());

  // Setup cancelled too: the folder is still the one without images.
  browser = BrowseAfter(IDC_SETUP, L"Information", kImagePrompt);
  ASSERT_NE(browser, nullptr);
  Select(browser, images_.Path());
  CancelBrowse(browser);

  browser = BrowseAfter(IDC_START, L"Error", kImagesMissing);
  ASSERT_NE(browser, nullptr);
  Select(browser, images_.Path());
  Answer(browser, kBrowserOk);
  // No "new folder" message: the worker starts at once.
  ASSERT_TRUE(driver::WaitUntil([&] { return Running(); }, kTimeoutMs));
  EXPECT_FALSE(driver::WaitForMessageBox(pid_, 1000)) << "a message after the browse in START";
}

TEST_F(FolderBrowser, ToolStartBrowsesForTheToolThenStartsTheBuildOfTheSystemInItsFolder) {
  ChooseMode(IDC_MODE_CUSTOMIZE);
  HWND browser = BrowseAfter(IDC_START, L"Information", kToolPrompt);
  ASSERT_NE(browser, nullptr);
  Select(browser, empty_.Path());
  EXPECT_TRUE(OkSettles(browser, false));
  CancelBrowse(browser);
  EXPECT_TRUE(ReadLines(toolLog_).empty());

  browser = BrowseAfter(IDC_START, L"Information", kToolPrompt);
  ASSERT_NE(browser, nullptr);
  Select(browser, tool32_.Path());
  EXPECT_TRUE(OkSettles(browser, true));
  Answer(browser, kBrowserOk);

  if (driver::On64BitSystem()) {
    // A 64-bit system: the 64-bit build is tried, and this folder has only the 32-bit one.
    ExpectBox(L"Error",
              L"Failed to start the Skinwright utility. Please make sure that the utility's files "
              L"are not damaged...");
    EXPECT_TRUE(ReadLines(toolLog_).empty());
    return;
  }
  ASSERT_TRUE(driver::WaitUntil([&] { return !ReadLines(toolLog_).empty(); }, kTimeoutMs))
      << "the tool did not start";
  EXPECT_EQ(ReadLines(toolLog_),
            std::vector<std::string>{"Skinwright_x86.exe|" + Narrow(tool32_.Path())});
  EXPECT_TRUE(NoMessageBox());

  // A second START needs no browse: the folder is kept for the run.
  driver::Click(window_, IDC_START);
  ASSERT_TRUE(driver::WaitUntil([&] { return ReadLines(toolLog_).size() == 2; }, kTimeoutMs));
  EXPECT_TRUE(NoMessageBox());
}

TEST_F(FolderBrowser, AFolderWithoutAPathIsRefusedAndTheFoldersStayAsTheyWere) {
  // Images: the computer folder confirmed in Setup fails, and START then still finds no images
  // in the program's folder.
  ChooseMode(IDC_MODE_STATIC);
  HWND browser = BrowseAfter(IDC_SETUP, L"Information", kImagePrompt);
  ASSERT_NE(browser, nullptr) << "no folder browser";
  ASSERT_NO_FATAL_FAILURE(ConfirmComputerFolder(browser));
  ExpectBox(L"Error", kFolderFailed, driver::BoxIcon::Warning);
  EXPECT_FALSE(driver::WaitForMessageBox(pid_, 1000)) << "a second message after the failure";

  browser = BrowseAfter(IDC_START, L"Error", kImagesMissing);
  ASSERT_NE(browser, nullptr);
  CancelBrowse(browser);
  EXPECT_FALSE(Running());

  // The tool: the same in its Setup, and START still asks for the tool's folder.
  ChooseMode(IDC_MODE_CUSTOMIZE);
  browser = BrowseAfter(IDC_SETUP, L"Information", kToolPrompt);
  ASSERT_NE(browser, nullptr);
  ASSERT_NO_FATAL_FAILURE(ConfirmComputerFolder(browser));
  ExpectBox(L"Error", kFolderFailed, driver::BoxIcon::Warning);

  browser = BrowseAfter(IDC_START, L"Information", kToolPrompt);
  ASSERT_NE(browser, nullptr);
  CancelBrowse(browser);
  EXPECT_TRUE(ReadLines(toolLog_).empty()) << "the tool started";
}

TEST_F(FolderBrowser, OnA64BitSystemTheToolStartsItsOwn64BitBuild) {
  if (!driver::On64BitSystem()) {
    GTEST_SKIP() << "needs a 64-bit Wine prefix (WINEARCH=win64, Debian package wine64)";
  }
  ChooseMode(IDC_MODE_CUSTOMIZE);
  const HWND browser = BrowseAfter(IDC_SETUP, L"Information", kToolPrompt);
  ASSERT_NE(browser, nullptr);
  Select(browser, toolBoth_.Path());
  Answer(browser, kBrowserOk);
  ExpectBox(L"Information",
            L"The new folder has been selected. Please use the \"Start\" button to customize "
            L"available FIP devices...");
  driver::Click(window_, IDC_START);
  ASSERT_TRUE(driver::WaitUntil([&] { return !ReadLines(toolLog_).empty(); }, kTimeoutMs));
  EXPECT_EQ(ReadLines(toolLog_),
            std::vector<std::string>{"Skinwright_x64.exe|" + Narrow(toolBoth_.Path())});
}

}  // namespace
