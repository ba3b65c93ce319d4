// LoadStringA on POSIX: reads the string table that a module carries in its resource
// note (format in platform/resnote.h), found through the module's program headers. What
// it copies and returns is written in platform/fxwin.h.
#include <dlfcn.h>
#include <link.h>

#include <cstring>

#include "bridge/recordbytes.h"
#include "platform/fxwin.h"
#include "platform/platform_internal.h"
#include "platform/resnote.h"

namespace {

struct Lookup {
  ElfW(Addr) base;
  bool executable;
  uint32_t id;
  const uint8_t* text;
  int length;
  bool found;
};

uint32_t Align4(uint32_t n) { return (n + 3u) & ~3u; }

// Walks one PT_NOTE segment for our string-table note and the entry asked for.
bool FindInNotes(const uint8_t* at, const uint8_t* end, Lookup* lookup) {
  while (at + 12 <= end) {
    uint32_t nameSize = fxt::GetU32(at, 0);
    uint32_t descSize = fxt::GetU32(at, 4);
    uint32_t type = fxt::GetU32(at, 8);
    const uint8_t* name = at + 12;
    const uint8_t* desc = name + Align4(nameSize);
    if (desc + descSize > end) return false;
    if (type == fxt_platform::kResNoteStrings && nameSize == sizeof fxt_platform::kResNoteName &&
        std::memcmp(name, fxt_platform::kResNoteName, nameSize) == 0 && descSize >= 4) {
      uint32_t count = fxt::GetU32(desc, 0);
      const uint8_t* entry = desc + 4;
      const uint8_t* descEnd = desc + descSize;
      for (uint32_t i = 0; i < count && entry + 4 <= descEnd; ++i) {
        uint16_t id = fxt::GetU16(entry, 0);
        uint16_t length = fxt::GetU16(entry, 2);
        if (entry + 4 + length > descEnd) return false;
        if (id == lookup->id) {
          lookup->text = entry + 4;
          lookup->length = length;
          return true;
        }
        entry += 4 + length;
      }
    }
    at = desc + Align4(descSize);
  }
  return false;
}

int VisitModule(struct dl_phdr_info* info, size_t, void* data) {
  Lookup* lookup = static_cast<Lookup*>(data);
  bool isExecutable = !info->dlpi_name || !info->dlpi_name[0];
  if (lookup->executable ? !isExecutable : (isExecutable || info->dlpi_addr != lookup->base))
    return 0;
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = info->dlpi_phdr[i];
    if (segment.p_type != PT_NOTE) continue;
    const uint8_t* start = reinterpret_cast<const uint8_t*>(info->dlpi_addr + segment.p_vaddr);
    if (FindInNotes(start, start + segment.p_memsz, lookup)) {
      lookup->found = true;
      break;
    }
  }
  return 1;
}

}  // namespace

extern "C" int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax) {
  if (!buffer || bufferMax <= 0) return 0;
  Lookup lookup{0,  instance == nullptr || instance == fxt_platform::ExecutableHandle(),
                id, nullptr,
                0,  false};
  if (!lookup.executable) {
    struct link_map* map = nullptr;
    if (dlinfo(instance, RTLD_DI_LINKMAP, &map) != 0 || !map) {
      buffer[0] = '\0';
      return 0;
    }
    lookup.base = map->l_addr;
  }
  dl_iterate_phdr(VisitModule, &lookup);
  int copied = 0;
  if (lookup.found) {
    copied = lookup.length < bufferMax - 1 ? lookup.length : bufferMax - 1;
    std::memcpy(buffer, lookup.text, static_cast<size_t>(copied));
  }
  buffer[copied] = '\0';
  return copied;
}
