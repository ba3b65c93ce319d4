// The notation records whose stored form is not what every caller loads and saves.
//
// Measure number regions are stored in the newer layout (196 bytes); callers of a
// record version below 0x0F000000 load and save the older layout (88 bytes), converted
// field by field. Text expression definitions are stored with a UTF-16 description;
// callers below version 0x11000000 load and save it as 8-bit Windows-1252 text, and no
// caller may send a record shorter than its minimum size. The rules are in
// docs/host-notation.md.
#include <algorithm>

#include "host/store/notationmodel.h"
#include "host/functions/recordcodecs.h"
#include "host/store/scoremodel.h"

namespace fxthost {

namespace {

bool Acceptable(const void* data, int32_t size) { return size >= 0 && (size == 0 || data); }

// --- Measure number regions -----------------------------------------------------------

bool LoadRegion(const RecordStore& store, uint32_t tag, const DataKey& key, void* buffer,
                int32_t* size, uint32_t version) {
  const RecordStore::Bytes* stored = store.Find(tag, key);
  if (!stored || !size) return false;
  DeliverServed(version >= kNewerRegionVersion ? *stored : OlderRegionLayout(*stored), buffer,
                size);
  return true;
}

// The record to store for a caller's bytes: as sent in the newer layout, merged into the
// stored record (or a new one) in the older.
RecordStore::Bytes RegionToStore(const RecordStore::Bytes* stored, const void* data, int32_t size,
                                 uint32_t version) {
  if (version >= kNewerRegionVersion) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    return RecordStore::Bytes(bytes, bytes + size);
  }
  return NewerRegionLayout(data, size, stored);
}

bool SaveRegion(RecordStore& store, uint32_t tag, const DataKey& key, const void* data,
                int32_t size, uint32_t version) {
  if (!Acceptable(data, size)) return false;
  const RecordStore::Bytes record = RegionToStore(store.Find(tag, key), data, size, version);
  return store.Save(tag, key, record.data(), static_cast<int32_t>(record.size()));
}

bool CreateRegion(RecordStore& store, uint32_t tag, DataKey* key, const void* data, int32_t size,
                  uint32_t version) {
  if (!Acceptable(data, size)) return false;
  const RecordStore::Bytes record = RegionToStore(nullptr, data, size, version);
  return store.Create(tag, key, record.data(), static_cast<int32_t>(record.size()));
}

// --- Text expression definitions ------------------------------------------------------

bool LoadDefinition(const RecordStore& store, uint32_t tag, const DataKey& key, void* buffer,
                    int32_t* size, uint32_t version) {
  const RecordStore::Bytes* stored = store.Find(tag, key);
  if (!stored || !size) return false;
  RecordStore::Bytes served(
      stored->begin(), stored->begin() + std::min<size_t>(stored->size(), kDefinitionFixedSize));
  served.resize(kDefinitionFixedSize, 0);
  const RecordStore::Bytes description = TextForVersion(DefinitionDescription(*stored), version);
  served.insert(served.end(), description.begin(), description.end());
  DeliverServed(served, buffer, size);
  return true;
}

// The stored form of a caller's record; false when it is shorter than the minimum.
bool DefinitionToStore(const void* data, int32_t size, uint32_t version, RecordStore::Bytes* out) {
  if (!data || size < MinimumDefinitionSize(version)) return false;
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  const RecordStore::Bytes fixed(bytes, bytes + kDefinitionFixedSize);
  *out = StoredDefinition(
      fixed, TextFromCaller(bytes + kDefinitionFixedSize, size - kDefinitionFixedSize, version));
  return true;
}

bool SaveDefinition(RecordStore& store, uint32_t tag, const DataKey& key, const void* data,
                    int32_t size, uint32_t version) {
  RecordStore::Bytes record;
  if (!DefinitionToStore(data, size, version, &record)) return false;
  return store.Save(tag, key, record.data(), static_cast<int32_t>(record.size()));
}

bool CreateDefinition(RecordStore& store, uint32_t tag, DataKey* key, const void* data,
                      int32_t size, uint32_t version) {
  RecordStore::Bytes record;
  if (!DefinitionToStore(data, size, version, &record)) return false;
  return store.Create(tag, key, record.data(), static_cast<int32_t>(record.size()));
}

}  // namespace

const RecordCodec& MeasureNumberRegionCodec() {
  static const RecordCodec codec = {LoadRegion, SaveRegion, CreateRegion};
  return codec;
}

const RecordCodec& TextExpressionDefCodec() {
  static const RecordCodec codec = {LoadDefinition, SaveDefinition, CreateDefinition};
  return codec;
}

}  // namespace fxthost
