// The POSIX form of the plug-in's resources: the string table and the version record
// built at compile time into ELF notes (format in platform/resnote.h), which the
// platform's LoadStringA reads by module handle.
#include <cstddef>
#include <cstdint>

#include "platform/resnote.h"
#include "resources/version.h"

namespace {

struct Entry {
  uint16_t id;
  const char* text;
};

// The string table: this tree's, or a plug-in author's, which need not undefine
// FXT_STRING at its end (hence the #undef after it).
constexpr Entry kStrings[] = {
#define FXT_STRING(id, text) {id, text},
#include "resources/strings.def"
#undef FXT_STRING
};

struct Pair {
  const char* key;
  const char* value;
};

constexpr Pair kVersionStrings[] = {
    {"FileDescription", FXT_FILE_DESCRIPTION},  {"FileVersion", FXT_VERSION_TEXT},
    {"OriginalFilename", FXT_MODULE_FILE_NAME}, {"ProductName", FXT_PRODUCT_NAME},
    {"ProductVersion", FXT_VERSION_TEXT},
};

constexpr uint16_t kVersionWords[] = {FXT_VERSION_WORDS};

constexpr size_t Length(const char* text) {
  size_t n = 0;
  while (text[n]) ++n;
  return n;
}

constexpr size_t Align4(size_t n) { return (n + 3) & ~size_t(3); }

constexpr size_t StringsSize() {
  size_t size = 4;
  for (const Entry& entry : kStrings) size += 4 + Length(entry.text);
  return Align4(size);
}

constexpr size_t VersionSize() {
  size_t size = 16 + 4;
  for (const Pair& pair : kVersionStrings) size += 4 + Length(pair.key) + Length(pair.value);
  return Align4(size);
}

// One ELF note: header words in the target's byte order (the loader reads them so),
// the name padded to 4, the descriptor written little-endian byte by byte.
template <size_t DescSize>
struct Note {
  uint32_t nameSize;
  uint32_t descSize;
  uint32_t type;
  char name[Align4(sizeof fxt_platform::kResNoteName)];
  uint8_t desc[DescSize];
};

template <size_t N>
struct Writer {
  uint8_t* out;
  size_t at;
  constexpr void U16(uint32_t v) {
    out[at++] = static_cast<uint8_t>(v);
    out[at++] = static_cast<uint8_t>(v >> 8);
  }
  constexpr void U32(uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
  }
  constexpr void Text(const char* text) {
    for (size_t i = 0; text[i]; ++i) out[at++] = static_cast<uint8_t>(text[i]);
  }
};

template <size_t DescSize>
constexpr void Header(Note<DescSize>& note, uint32_t type) {
  note.nameSize = sizeof fxt_platform::kResNoteName;
  note.descSize = DescSize;
  note.type = type;
  for (size_t i = 0; i < sizeof fxt_platform::kResNoteName; ++i)
    note.name[i] = fxt_platform::kResNoteName[i];
}

constexpr Note<StringsSize()> MakeStringNote() {
  Note<StringsSize()> note{};
  Header(note, fxt_platform::kResNoteStrings);
  Writer<StringsSize()> w{note.desc, 0};
  w.U32(sizeof kStrings / sizeof kStrings[0]);
  for (const Entry& entry : kStrings) {
    w.U16(entry.id);
    w.U16(static_cast<uint32_t>(Length(entry.text)));
    w.Text(entry.text);
  }
  return note;
}

constexpr Note<VersionSize()> MakeVersionNote() {
  Note<VersionSize()> note{};
  Header(note, fxt_platform::kResNoteVersion);
  Writer<VersionSize()> w{note.desc, 0};
  for (uint16_t word : kVersionWords) w.U16(word);  // file version
  for (uint16_t word : kVersionWords) w.U16(word);  // product version
  w.U32(sizeof kVersionStrings / sizeof kVersionStrings[0]);
  for (const Pair& pair : kVersionStrings) {
    w.U16(static_cast<uint32_t>(Length(pair.key)));
    w.U16(static_cast<uint32_t>(Length(pair.value)));
    w.Text(pair.key);
    w.Text(pair.value);
  }
  return note;
}

__attribute__((section(".note.fxtres.strings"), used, aligned(4))) const Note<StringsSize()>
    fxt_string_note = MakeStringNote();

__attribute__((section(".note.fxtres.version"), used, aligned(4))) const Note<VersionSize()>
    fxt_version_note = MakeVersionNote();

}  // namespace
