// Placeholder proving the Win32 test pipeline; replaced by the import check.
#include <gtest/gtest.h>
#include <windows.h>

TEST(BuildCheck, RunsUnderWine) { EXPECT_NE(GetModuleHandleW(nullptr), nullptr); }
