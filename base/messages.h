// Every message the program shows, with its title and icon, in one place so that each text can
// be checked against what users see.
#pragma once

#include <windows.h>

namespace panelcast {

struct Message {
  const wchar_t* text;
  const wchar_t* title;
  UINT style;  // icon and buttons for MessageBoxW
};

inline constexpr wchar_t kMainWindowTitle[] = L"Zivovi Panelcast";

namespace msg {

inline constexpr UINT kError = MB_OK | MB_ICONERROR;
inline constexpr UINT kWarning = MB_OK | MB_ICONWARNING;
inline constexpr UINT kInformation = MB_OK | MB_ICONINFORMATION;

// Start-up and shutdown.
inline constexpr Message kAlreadyRunning{
    L"The program is already running. Only one copy of the program can be active at any given "
    L"moment...",
    L"Information", kInformation};
inline constexpr Message kMainWindowFailed{
    L"Failed to create the main dialog window. The program will now exit...", L"Error", kError};
inline constexpr Message kRegistryKeyFailed{
    L"Failed to open DirectOutput DLL key in the Registry. The program will now exit...", L"Error",
    kError};
inline constexpr Message kLibraryNameFailed{
    L"Failed to read the name of DirectOutput DLL. The program will now exit...", L"Error", kError};
inline constexpr Message kLibraryLoadFailed{
    L"Failed to load the DirectOutput DLL. The program will now exit...", L"Error", kError};
inline constexpr Message kInitializeFailed{
    L"Failed to initialize DirectOutput. The program will now exit...", L"Error", kError};
inline constexpr Message kRegisterCallbackFailed{
    L"Failed to register DirectOutput callback. The program will now exit...", L"Error", kError};
inline constexpr Message kMemoryFailed{
    L"Failed to allocate memory for internal data. The program will now exit...", L"Error", kError};
inline constexpr Message kEnumerateFailed{
    L"Failed to enumerate FIP devices. The program will now exit...", L"Error", kError};
inline constexpr Message kHardwareInfoFailed{
    L"Getting hardware info for one or more devices failed. Such devices will be shown as "
    L"\"Generic FIP Device\"...",
    L"Information", kInformation};
inline constexpr Message kWatcherStartFailed{
    L"Failed to start the dead thread watcher routine. The program will now exit...", L"Error",
    kError};
inline constexpr Message kConfirmExit{L"Are you sure you want to exit?", L"Exit",
                                      MB_YESNO | MB_ICONQUESTION};

// Devices arriving.
inline constexpr Message kDeviceTypeFailed{
    L"Failed to get device type. This device will not be added to the list...", L"Error", kWarning};
inline constexpr Message kNotFip{
    L"The newly added device is not FIP, so it won't be added to the list...", L"Notice",
    kInformation};

// Workers.
inline constexpr Message kThreadStartFailed{
    L"Failed to start the thread for the selected FIP device. Please try again in a few moments...",
    L"Error", kWarning};
inline constexpr Message kThreadStopFailed{
    L"Failed to stop the thead for the selected FIP device. Please try again in a few moments...",
    L"Error", kWarning};
inline constexpr Message kStopAllFailed{
    L"Failed to stop all running FIP device threads. The stalled threads will be forcefully "
    L"terminated...",
    L"Error", kError};
inline constexpr Message kWatcherStopFailed{
    L"Failed to stop the running thread watcher. The stalled thread will be forcefully "
    L"terminated...",
    L"Error", kError};
inline constexpr Message kPerformanceWarning{
    L"Please note that showing a live image on FIP device may affect system's performance. Besides, "
    L"not all FIP devices can work properly with live feeds. If you experience performance issues "
    L"with the live feed or if your FIP device hangs, please increase the refresh delay to a larger "
    L"value...",
    L"Warning", kWarning};
inline constexpr Message kSimulatorNotStarted{
    L"Microsoft Flight Simulator X is not started. Please start the simulator before making "
    L"selection...",
    L"Notice", MB_OK | MB_ICONINFORMATION};

// Region picker.
inline constexpr Message kPickerInstructions{
    L"After you press OK a new semi-transparent window will be opened. Please position and resize "
    L"this window so that it covers the area of the screen that you would like to see on the Flight "
    L"Instument Panel's screen. Then click \"Set Coordinates\" button or press Enter to finish...",
    L"Instructions", kWarning};
inline constexpr Message kCoordinatesAppliedRunning{
    L"The new coordinates have been applied. You should already see the changes on the selected FIP "
    L"device...",
    L"Information", kInformation};
inline constexpr Message kCoordinatesAppliedIdle{
    L"The new coordinates have been applied. Please use the \"Start\" button to start showing the "
    L"live image on the selected FIP device...",
    L"Information", kInformation};
inline constexpr Message kCoordinatesInvalid{
    L"The screen coordinates you entered are invalid. Please enter valid coordinates...", L"Error",
    kWarning};

// Folders and the customizing tool.
inline constexpr Message kSelectToolFolder{
    L"Please select the folder with the Skinwright tool files: \"Skinwright_x86.exe\" and "
    L"\"Skinwright_x64.exe\"...",
    L"Information", kInformation};
inline constexpr Message kSelectImageFolder{
    L"Please select the folder with the set of static images to be shown in FIP device...",
    L"Information", kInformation};
inline constexpr Message kFolderCanceled{
    L"Folder selection canceled. Current folder settings were not changed...", L"Information",
    kInformation};
inline constexpr Message kFolderFailed{
    L"Failed to select this folder due to an error. Please try selecting again...", L"Error",
    kWarning};
inline constexpr Message kToolFolderSelected{
    L"The new folder has been selected. Please use the \"Start\" button to customize available FIP "
    L"devices...",
    L"Information", kInformation};
inline constexpr Message kImageFolderSelected{
    L"The new folder has been selected. Please use the \"Start\" button to start showing the images "
    L"on the selected FIP device...",
    L"Information", kInformation};
inline constexpr Message kImagesMissing{
    L"Failed to locate images for static showing. Please select the folder with suitable images...",
    L"Error", kWarning};
inline constexpr Message kArchitectureUnknown{
    L"Failed to detect operating system's architecture. The 32-bit version of Skinwright utility "
    L"will be started...",
    L"Notice", kWarning};
inline constexpr Message kToolStartFailed{
    L"Failed to start the Skinwright utility. Please make sure that the utility's files are not "
    L"damaged...",
    L"Error", kWarning};

// Device information report.
inline constexpr wchar_t kReportFailed[] = L"Failed to get extended information about the device...";

}  // namespace msg

// Shows `message` owned by `owner` and returns the button pressed.
int ShowMessage(HWND owner, const Message& message);

// The main window, found by its title as every thread of the program finds it; null before it
// exists (messages are then owned by the desktop window).
HWND FindMainWindow();

// Shows `message` owned by the main window (or the desktop window when there is none yet).
int ShowMessageOwnedByMain(const Message& message);

}  // namespace panelcast
