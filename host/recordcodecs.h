// Record kinds whose stored form is not what callers load and save byte for byte.
//
// The data-record functions (behaviours_records.cpp) ask FindRecordCodec first; a tag
// that has a codec is loaded, saved and created through it, every other tag goes to the
// record store as it is. Stepping and deleting always go to the store.
//
// - Raw texts (tags 'tx..' and 'osRT'): stored once as UTF-16, served in the encoding
//   the caller's record version asks for (behaviours_texts.cpp).
// - The current staff settings ('SOSC'): computed from the staff's record, never stored
//   (behaviours_staves.cpp).
#pragma once

#include <cstdint>

#include "host/recordstore.h"

namespace fxthost {

struct RecordCodec {
  // As RecordStore::Load/Save/Create, with the caller's record version.
  bool (*load)(const RecordStore& store, uint32_t tag, const DataKey& key, void* buffer,
               int32_t* size, uint32_t version);
  bool (*save)(RecordStore& store, uint32_t tag, const DataKey& key, const void* data, int32_t size,
               uint32_t version);
  bool (*create)(RecordStore& store, uint32_t tag, DataKey* key, const void* data, int32_t size,
                 uint32_t version);
};

// The codec that serves the tag, or null when the store serves it unchanged.
const RecordCodec* FindRecordCodec(uint32_t tag);

// The codecs, each defined beside the behaviours of its records.
const RecordCodec& RawTextCodec();
const RecordCodec& CurrentStaffSpecCodec();

}  // namespace fxthost
