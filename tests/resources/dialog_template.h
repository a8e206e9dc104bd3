// Reads an extended dialog template (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX items) from a
// resource, so that tests can compare every field with what the dialog should hold.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct DialogItemTemplate {
  DWORD style = 0, exStyle = 0, id = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  std::wstring className;  // predefined classes by name: "Button", "Edit", "Static", ...
  std::wstring text;       // "#n" for a resource ordinal
};

struct DialogTemplate {
  DWORD style = 0, exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  std::wstring caption;
  WORD pointSize = 0;
  std::wstring typeface;
  std::vector<DialogItemTemplate> items;
};

// False when the data is not a whole extended template.
bool ReadDialogTemplate(const void* data, DWORD size, DialogTemplate& dialog);
