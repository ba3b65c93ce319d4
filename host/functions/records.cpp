// The data-record functions, served by the current document's record store.
#include "bridge/recordbytes.h"
#include "host/functions/host.h"
#include "host/functions/recordcodecs.h"
#include "host/functions/words.h"

namespace fxthost {

namespace {

RecordStore* Store(Host& host) {
  Document* document = host.CurrentDocument();
  return document ? &document->records : nullptr;
}

// FX_LoadEData(tag, key, buffer, size pointer, version)
intptr_t LoadEData(Host& host, const uint64_t* w) {
  RecordStore* store = Store(host);
  const void* key = Ptr<const void>(w[1]);
  int32_t* size = Ptr<int32_t>(w[3]);
  if (!store || !key || !size) return 0;
  if (const RecordCodec* codec = FindRecordCodec(U32(w[0])))
    return codec->load(*store, U32(w[0]), DataKey::FromBytes(key), Ptr<void>(w[2]), size, U32(w[4]))
               ? 1
               : 0;
  return store->Load(U32(w[0]), DataKey::FromBytes(key), Ptr<void>(w[2]), size) ? 1 : 0;
}

// FX_SaveEData(tag, key, buffer, size, version)
intptr_t SaveEData(Host& host, const uint64_t* w) {
  RecordStore* store = Store(host);
  const void* key = Ptr<const void>(w[1]);
  if (!store || !key) return 0;
  if (const RecordCodec* codec = FindRecordCodec(U32(w[0])))
    return codec->save(*store, U32(w[0]), DataKey::FromBytes(key), Ptr<const void>(w[2]), S32(w[3]),
                       U32(w[4]))
               ? 1
               : 0;
  return store->Save(U32(w[0]), DataKey::FromBytes(key), Ptr<const void>(w[2]), S32(w[3])) ? 1 : 0;
}

// FX_CreateEData(tag, key, buffer, size, version): the key comes back filled in.
intptr_t CreateEData(Host& host, const uint64_t* w) {
  RecordStore* store = Store(host);
  void* keyBytes = Ptr<void>(w[1]);
  if (!store || !keyBytes) return 0;
  DataKey key = DataKey::FromBytes(keyBytes);
  const RecordCodec* codec = FindRecordCodec(U32(w[0]));
  const bool created =
      codec ? codec->create(*store, U32(w[0]), &key, Ptr<const void>(w[2]), S32(w[3]), U32(w[4]))
            : store->Create(U32(w[0]), &key, Ptr<const void>(w[2]), S32(w[3]));
  if (!created) return 0;
  key.ToBytes(keyBytes);
  return 1;
}

// FX_DeleteEData(tag, key, version)
intptr_t DeleteEData(Host& host, const uint64_t* w) {
  RecordStore* store = Store(host);
  const void* key = Ptr<const void>(w[1]);
  if (!store || !key) return 0;
  return store->Delete(U32(w[0]), DataKey::FromBytes(key)) ? 1 : 0;
}

// FX_NextEData / FX_PreviousEData(tag, key, buffer, size, version): the key steps.
template <bool kForward>
intptr_t StepEData(Host& host, const uint64_t* w) {
  RecordStore* store = Store(host);
  void* keyBytes = Ptr<void>(w[1]);
  if (!store || !keyBytes) return 0;
  DataKey key = DataKey::FromBytes(keyBytes);
  bool moved = kForward ? store->Next(U32(w[0]), &key) : store->Previous(U32(w[0]), &key);
  if (!moved) return 0;
  key.ToBytes(keyBytes);
  return 1;
}

// FX_GetCurrentEnigmaDocument(version)
intptr_t GetCurrentEnigmaDocument(Host& host, const uint64_t*) {
  Document* document = host.CurrentDocument();
  return document ? document->number : 0;
}

// FX_SetCurrentEnigmaDocument(document, version)
intptr_t SetCurrentEnigmaDocument(Host& host, const uint64_t* w) {
  return host.SetCurrentDocument(S16(w[0])) ? 1 : 0;
}

// FX_GetNextEnigmaDocument(document, version): the document opened after the given one
// (0 gives the first), 0 after the last.
intptr_t GetNextEnigmaDocument(Host& host, const uint64_t* w) {
  int after = S16(w[0]);
  bool passed = after == 0;
  for (Document* document : host.Documents()) {
    if (passed) return document->number;
    if (document->number == after) passed = true;
  }
  return 0;
}

}  // namespace

void InstallRecordBehaviours(Host& host) {
  host.SetBehaviour(Fn::FX_LoadEData, LoadEData);
  host.SetBehaviour(Fn::FX_SaveEData, SaveEData);
  host.SetBehaviour(Fn::FX_CreateEData, CreateEData);
  host.SetBehaviour(Fn::FX_DeleteEData, DeleteEData);
  host.SetBehaviour(Fn::FX_NextEData, StepEData<true>);
  host.SetBehaviour(Fn::FX_PreviousEData, StepEData<false>);
  host.SetBehaviour(Fn::FX_GetCurrentEnigmaDocument, GetCurrentEnigmaDocument);
  host.SetBehaviour(Fn::FX_SetCurrentEnigmaDocument, SetCurrentEnigmaDocument);
  host.SetBehaviour(Fn::FX_GetNextEnigmaDocument, GetNextEnigmaDocument);
}

}  // namespace fxthost
