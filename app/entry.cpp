#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  MessageBoxW(nullptr, L"hello", L"Zivovi Panelcast", MB_OK);
  return 0;
}
