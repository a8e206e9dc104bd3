#include "tests/resources/dialog_template.h"

#include <cstring>

namespace {

// Walks the template's fields: fixed-size numbers, and "sz_Or_Ord" fields (0, 0xFFFF + ordinal,
// or a zero-terminated UTF-16 string).
class TemplateReader {
 public:
  TemplateReader(const BYTE* data, DWORD size) : data_(data), size_(size) {}
  template <typename T>
  T Read() {
    T value{};
    if (pos_ + sizeof(T) <= size_) std::memcpy(&value, data_ + pos_, sizeof(T));
    pos_ += sizeof(T);
    return value;
  }
  std::wstring ReadStringOrOrdinal() {
    WORD first = Read<WORD>();
    if (first == 0xFFFF) return L"#" + std::to_wstring(Read<WORD>());
    std::wstring text;
    for (WORD ch = first; ch != 0 && pos_ <= size_; ch = Read<WORD>()) text.push_back(ch);
    return text;
  }
  void AlignToDword() { pos_ = (pos_ + 3) & ~3u; }
  void Skip(DWORD bytes) { pos_ += bytes; }
  bool Overran() const { return pos_ > size_; }

 private:
  const BYTE* data_;
  DWORD size_;
  DWORD pos_ = 0;
};

// Predefined control classes are stored as ordinals.
std::wstring ClassName(const std::wstring& stored) {
  const wchar_t* names[] = {L"Button", L"Edit", L"Static", L"ListBox", L"ScrollBar", L"ComboBox"};
  for (int i = 0; i < 6; ++i)
    if (stored == L"#" + std::to_wstring(0x80 + i)) return names[i];
  return stored;
}

}  // namespace

bool ReadDialogTemplate(const void* data, DWORD size, DialogTemplate& dialog) {
  TemplateReader reader(static_cast<const BYTE*>(data), size);
  WORD version = reader.Read<WORD>(), signature = reader.Read<WORD>();
  if (version != 1 || signature != 0xFFFF) return false;
  reader.Read<DWORD>();  // help id
  dialog.exStyle = reader.Read<DWORD>();
  dialog.style = reader.Read<DWORD>();
  WORD itemCount = reader.Read<WORD>();
  dialog.x = reader.Read<short>(), dialog.y = reader.Read<short>();
  dialog.cx = reader.Read<short>(), dialog.cy = reader.Read<short>();
  reader.ReadStringOrOrdinal();  // menu
  reader.ReadStringOrOrdinal();  // window class
  dialog.caption = reader.ReadStringOrOrdinal();
  if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
    dialog.pointSize = reader.Read<WORD>();
    reader.Read<WORD>();  // weight
    reader.Read<BYTE>();  // italic
    reader.Read<BYTE>();  // character set
    dialog.typeface = reader.ReadStringOrOrdinal();
  }
  for (WORD i = 0; i < itemCount && !reader.Overran(); ++i) {
    reader.AlignToDword();
    DialogItemTemplate item;
    reader.Read<DWORD>();  // help id
    item.exStyle = reader.Read<DWORD>();
    item.style = reader.Read<DWORD>();
    item.x = reader.Read<short>(), item.y = reader.Read<short>();
    item.cx = reader.Read<short>(), item.cy = reader.Read<short>();
    item.id = reader.Read<DWORD>();
    item.className = ClassName(reader.ReadStringOrOrdinal());
    item.text = reader.ReadStringOrOrdinal();
    reader.Skip(reader.Read<WORD>());  // creation data
    dialog.items.push_back(item);
  }
  return !reader.Overran();
}
