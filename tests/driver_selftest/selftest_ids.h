// Names shared by the driver's self-test and its helper program.
#pragma once

namespace selftest {

inline constexpr wchar_t kWindowTitle[] = L"Driver Selftest Window";
inline constexpr int kList = 100;
inline constexpr int kCount = 101;
inline constexpr int kAsk = 102;
inline constexpr int kCheck = 103;
inline constexpr int kDisabled = 104;
inline constexpr int kEdit = 105;
inline constexpr int kTrackbar = 106;
inline constexpr int kStatus = 107;
// The window's background, 0x00BBGGRR: a colour no control draws, found again in screenshots.
inline constexpr unsigned long kBackground = 0x00A06020;

}  // namespace selftest
