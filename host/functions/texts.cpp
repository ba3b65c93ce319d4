// Raw texts in both encodings and the font table.
//
// Raw texts are stored once, as UTF-16 with a 0 unit, whatever encoding the caller
// saved them in; a load delivers them in the encoding of the caller's record version
// (8-bit Windows-1252 below 0x11000000, UTF-16 from it on), and the size reported for a
// null buffer is that of the delivered form, terminator included.
#include <cstring>
#include <string>

#include "host/functions/host.h"
#include "host/functions/recordcodecs.h"
#include "host/store/scoremodel.h"
#include "host/store/textcodec.h"
#include "host/functions/words.h"

namespace fxthost {

namespace {

// --- Raw text records --------------------------------------------------------------

bool LoadRawText(const RecordStore& store, uint32_t tag, const DataKey& key, void* buffer,
                 int32_t* size, uint32_t version) {
  const RecordStore::Bytes* stored = store.Find(tag, key);
  if (!stored || !size) return false;
  DeliverServed(TextForVersion(TextOfStored(*stored), version), buffer, size);
  return true;
}

// A negative size, or a positive size without data, is refused as by the store.
bool AcceptableText(const void* data, int32_t size) { return size >= 0 && (size == 0 || data); }

bool SaveRawText(RecordStore& store, uint32_t tag, const DataKey& key, const void* data,
                 int32_t size, uint32_t version) {
  if (!AcceptableText(data, size)) return false;
  const RecordStore::Bytes stored = StoredText(TextFromCaller(data, size, version));
  return store.Save(tag, key, stored.data(), static_cast<int32_t>(stored.size()));
}

bool CreateRawText(RecordStore& store, uint32_t tag, DataKey* key, const void* data, int32_t size,
                   uint32_t version) {
  if (!AcceptableText(data, size)) return false;
  const RecordStore::Bytes stored = StoredText(TextFromCaller(data, size, version));
  return store.Create(tag, key, stored.data(), static_cast<int32_t>(stored.size()));
}

// --- Fonts -------------------------------------------------------------------------

// The longest font name a caller's buffer holds, without its NUL.
constexpr size_t kFontNameRoom = 255;

const FontTable& Fonts(Host& host) {
  static const FontTable defaults = DefaultFontTable();
  Document* document = host.CurrentDocument();
  return document ? document->fonts : defaults;
}

// FX_FontNumToName(font number, 256-byte buffer, version): the name as a terminated
// 8-bit string, cut to 255 bytes; 0 with the buffer untouched for an unknown number.
intptr_t FontNumToName(Host& host, const uint64_t* w) {
  char* buffer = Ptr<char>(w[1]);
  const std::string* name = FontNameOf(Fonts(host), S16(w[0]));
  if (!buffer || !name) return 0;
  std::string narrow = Utf16ToCp1252(Utf8ToUtf16(*name));
  if (narrow.size() > kFontNameRoom) narrow.resize(kFontNameRoom);
  std::memcpy(buffer, narrow.c_str(), narrow.size() + 1);
  return 1;
}

// FX_FontNameToNum(8-bit name, version): the font's number, -1 when unknown. The name is
// read up to its NUL, and never past the 256 bytes of a font name buffer.
intptr_t FontNameToNum(Host& host, const uint64_t* w) {
  const char* name = Ptr<const char>(w[0]);
  if (!name) return -1;
  size_t length = 0;
  while (length <= kFontNameRoom && name[length] != 0) ++length;
  if (length > kFontNameRoom) return -1;  // no terminator where a font name can end
  return FontNumberOf(Fonts(host), Utf16ToUtf8(Cp1252ToUtf16(name, length)));
}

}  // namespace

const RecordCodec& RawTextCodec() {
  static const RecordCodec codec = {LoadRawText, SaveRawText, CreateRawText};
  return codec;
}

void InstallTextBehaviours(Host& host) {
  host.SetBehaviour(Fn::FX_FontNumToName, FontNumToName);
  host.SetBehaviour(Fn::FX_FontNameToNum, FontNameToNum);
}

}  // namespace fxthost
