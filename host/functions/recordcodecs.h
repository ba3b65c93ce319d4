// Record kinds whose stored form is not what callers load and save byte for byte.
//
// The data-record functions (records.cpp) ask FindRecordCodec first; a tag
// that has a codec is loaded, saved and created through it, every other tag goes to the
// record store as it is. Stepping and deleting always go to the store.
//
// - Raw texts (tags 'tx..' and 'osRT'): stored once as UTF-16, served in the encoding
//   the caller's record version asks for (texts.cpp).
// - The current staff settings ('SOSC'): computed from the staff's record, never stored
//   (staves.cpp).
// - Measure number regions ('SOMN') and text expression definitions ('SODT'): stored in
//   one form, served in the layout or encoding of the caller's record version
//   (notationcodecs.cpp).
#pragma once

#include <cstdint>

#include "host/store/recordstore.h"

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
const RecordCodec& MeasureNumberRegionCodec();
const RecordCodec& TextExpressionDefCodec();

// A load's delivery of the bytes a codec serves, as the store delivers a record: without
// a buffer *size becomes their count; with one, at most *size bytes (a negative size
// counts as 0) are copied and *size becomes the count copied.
void DeliverServed(const RecordStore::Bytes& served, void* buffer, int32_t* size);

}  // namespace fxthost
