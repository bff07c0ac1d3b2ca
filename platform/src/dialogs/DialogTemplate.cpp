// Reading DLGTEMPLATEEX: little-endian fields, UTF-16 strings or 0xFFFF
// ordinals, items aligned to four bytes. Every read is bounds-checked, since
// the bytes come from whichever module the caller names.
#include "dialogs/DialogTemplate.h"

#include <cstring>

namespace tevrin::win32 {
namespace {

const char* ClassOfOrdinal(WORD ordinal) {
  switch (ordinal) {
    case 0x80:
      return "BUTTON";
    case 0x81:
      return "EDIT";
    case 0x82:
      return "STATIC";
    case 0x83:
      return "LISTBOX";
    case 0x84:
      return "SCROLLBAR";
    case 0x85:
      return "COMBOBOX";
    default:
      return "";
  }
}

class Reader {
 public:
  Reader(const unsigned char* data, size_t size) : data_(data), size_(size) {}

  bool ok() const { return ok_; }

  template <class T>
  T Read() {
    T value{};
    if (offset_ + sizeof(T) > size_) {
      ok_ = false;
      return value;
    }
    std::memcpy(&value, data_ + offset_, sizeof(T));
    offset_ += sizeof(T);
    return value;
  }

  void Align() { offset_ = (offset_ + 3) & ~size_t{3}; }

  // A UTF-16 string to its terminator, as UTF-8.
  std::string String() {
    std::wstring wide;
    for (WORD unit = Read<WORD>(); ok_ && unit != 0; unit = Read<WORD>()) wide.push_back(unit);
    if (wide.empty()) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                   nullptr);
    std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), text.data(), size, nullptr, nullptr);
    return text;
  }

  // A string, or an ordinal (returned through `ordinal`, the string empty).
  std::string StringOrOrdinal(WORD* ordinal) {
    size_t start = offset_;
    if (Read<WORD>() == 0xFFFF) {
      *ordinal = Read<WORD>();
      return {};
    }
    offset_ = start;
    *ordinal = 0;
    return String();
  }

 private:
  const unsigned char* data_;
  size_t size_;
  size_t offset_ = 0;
  bool ok_ = true;
};

RECT ReadRect(Reader& reader) {
  SHORT x = reader.Read<SHORT>(), y = reader.Read<SHORT>(), cx = reader.Read<SHORT>(), cy = reader.Read<SHORT>();
  return RECT{x, y, cx, cy};
}

}  // namespace

std::optional<DialogTemplate> ReadDialogTemplate(const unsigned char* data, size_t size) {
  if (data == nullptr) return std::nullopt;
  Reader reader(data, size);
  if (reader.Read<WORD>() != 1 || reader.Read<WORD>() != 0xFFFF) return std::nullopt;
  reader.Read<DWORD>();  // help ID
  DialogTemplate dialog{};
  dialog.exStyle = reader.Read<DWORD>();
  dialog.style = reader.Read<DWORD>();
  WORD count = reader.Read<WORD>();
  dialog.rect = ReadRect(reader);
  WORD ordinal = 0;
  reader.StringOrOrdinal(&ordinal);  // menu
  reader.StringOrOrdinal(&ordinal);  // class
  dialog.caption = reader.String();
  if (dialog.style & (DS_SETFONT | DS_FIXEDSYS)) {
    reader.Read<WORD>();  // point size
    reader.Read<WORD>();  // weight
    reader.Read<BYTE>();  // italic
    reader.Read<BYTE>();  // character set
    reader.String();      // typeface
  }
  for (WORD i = 0; i < count && reader.ok(); ++i) {
    reader.Align();
    DialogItemTemplate item{};
    reader.Read<DWORD>();  // help ID
    item.exStyle = reader.Read<DWORD>();
    item.style = reader.Read<DWORD>();
    item.rect = ReadRect(reader);
    item.id = static_cast<int>(reader.Read<DWORD>());
    item.className = reader.StringOrOrdinal(&ordinal);
    if (ordinal != 0) item.className = ClassOfOrdinal(ordinal);
    item.text = reader.StringOrOrdinal(&ordinal);
    WORD extra = reader.Read<WORD>();
    for (WORD skip = 0; skip < extra; ++skip) reader.Read<BYTE>();
    dialog.items.push_back(std::move(item));
  }
  if (!reader.ok()) return std::nullopt;
  return dialog;
}

}  // namespace tevrin::win32
