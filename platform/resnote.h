// Resources of a POSIX module: the string table and the version record travel in ELF
// note sections, found at run time through the module's program headers, so that a
// module's resources are read by module handle without exporting any symbol.
//
// Note name "FXTRES"; type 1 is a string table, type 2 the version record.
// String table descriptor (little-endian): u32 count, then per entry u16 id, u16 length
// and the 8-bit text without terminator. Version descriptor: u16 file version words
// (4), u16 product version words (4), u32 count, then per entry u16 key length, u16
// value length, key bytes, value bytes.
#pragma once

#include <cstdint>

namespace fxt_platform {
constexpr char kResNoteName[] = "FXTRES";
constexpr uint32_t kResNoteStrings = 1;
constexpr uint32_t kResNoteVersion = 2;
}  // namespace fxt_platform
