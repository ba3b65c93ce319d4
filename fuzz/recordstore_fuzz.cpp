// The record store under arbitrary operations and keys: each input is a program of
// saves, creates, deletes and steps over a few tags (plain ones and ones with incis in
// the second and third key numbers). After every operation the store must hold what the
// walks say: stepping forward and back visits the same records in key order, a step
// from any key lands on its neighbour, every inci list stays gapless from 0, and loads
// deliver what was stored.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bridge/recordbytes.h"
#include "host/store/recordstore.h"

namespace {

using fxthost::DataKey;
using fxthost::InciField;
using fxthost::RecordStore;

const uint32_t kTags[] = {
    fxt::MakeTag('S', 'D', 'N', 'G'),  // no inci
    fxt::MakeTag('o', 't', 'M', 'G'),  // inci in the second number, side records at 0xFFFE
    fxt::MakeTag('d', 't', 'A', 'B'),  // inci in the third number
    fxt::MakeTag('S', 'O', 'I', 'u'),  // inci in the second number
};

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

void Check(bool condition, const char* what) {
  if (!condition) Fail(what);
}

// Reads the program's bytes; past the end every read gives 0.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Done() const { return at_ >= size_; }
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  // A key number: mostly small, so that records meet in lists, else one at an edge.
  uint16_t Number() {
    static const uint16_t kEdges[] = {0x7FFE, 0x7FFF, 0x8000, 0xFFFE, 0xFFFF, 0x1234};
    const uint8_t b = Byte();
    if (b < 0xF0) return b & 7;
    if (b < 0xF6) return kEdges[b - 0xF0];
    return static_cast<uint16_t>(Byte() | Byte() << 8);
  }
  DataKey Key() {
    DataKey key;
    key.first = Number();
    key.second = Number();
    key.third = Number();
    key.extra = Byte() < 0xF8 ? 0 : Number();
    return key;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// The keys of the tag's records, in key order, from a forward walk.
std::vector<uint64_t> WalkForward(const RecordStore& store, uint32_t tag) {
  std::vector<uint64_t> keys;
  DataKey key;  // all zero: the walk starts past it
  if (store.Contains(tag, key)) keys.push_back(key.Packed());
  while (store.Next(tag, &key)) {
    Check(keys.empty() || key.Packed() > keys.back(), "a forward step does not move on");
    Check(store.Contains(tag, key), "a forward step lands on no record");
    keys.push_back(key.Packed());
    Check(keys.size() <= store.Count(tag), "the forward walk does not end");
  }
  return keys;
}

void CheckTag(const RecordStore& store, uint32_t tag, const DataKey& probe) {
  const std::vector<uint64_t> keys = WalkForward(store, tag);
  Check(keys.size() == store.Count(tag), "the forward walk misses records");

  std::vector<uint64_t> back;
  DataKey key = DataKey::FromPacked(~uint64_t{0});
  if (store.Contains(tag, key)) back.push_back(key.Packed());
  while (store.Previous(tag, &key)) back.push_back(key.Packed());
  std::reverse(back.begin(), back.end());
  Check(back == keys, "the backward walk differs from the forward walk");

  // A step from any key lands on its neighbour in key order.
  DataKey next = probe;
  const auto above = std::upper_bound(keys.begin(), keys.end(), probe.Packed());
  const bool stepped = store.Next(tag, &next);
  Check(stepped == (above != keys.end()), "a forward step from a key misjudges the end");
  Check(stepped ? next.Packed() == *above : next == probe,
        "a forward step lands off its neighbour");
  DataKey previous = probe;
  const auto below = std::lower_bound(keys.begin(), keys.end(), probe.Packed());
  const bool backed = store.Previous(tag, &previous);
  Check(backed == (below != keys.begin()), "a backward step from a key misjudges the start");
  Check(backed ? previous.Packed() == *std::prev(below) : previous == probe,
        "a backward step lands off its neighbour");

  // Every inci list is gapless from 0: a record at inci n means records at 0 to n - 1.
  const InciField field = RecordStore::InciFieldOf(tag);
  if (field == InciField::kNone) return;
  const int shift = field == InciField::kSecond ? 32 : 16;
  for (uint64_t packed : keys) {
    const DataKey record = DataKey::FromPacked(packed);
    if (!RecordStore::IsInciRecord(tag, record)) continue;
    const uint16_t inci = static_cast<uint16_t>(packed >> shift);
    if (inci == 0) continue;
    const uint64_t parentMask = ~uint64_t{0} << (shift + 16);
    const uint64_t wanted = (packed & parentMask) | (uint64_t{inci - 1u} << shift);
    const auto found = std::lower_bound(keys.begin(), keys.end(), wanted);
    Check(found != keys.end() && (*found & (parentMask | uint64_t{0xFFFF} << shift)) == wanted,
          "an inci list has a gap");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input input(data, size);
  RecordStore store;
  for (int steps = 0; steps < 400 && !input.Done(); ++steps) {
    const uint8_t operation = input.Byte();
    const uint32_t tag = kTags[(operation >> 4) % (sizeof kTags / sizeof kTags[0])];
    DataKey key = input.Key();
    std::vector<uint8_t> bytes(input.Byte() % 8, static_cast<uint8_t>(steps));
    const size_t before = store.Count(tag);
    switch (operation % 5) {
      case 0: {
        const bool existed = store.Contains(tag, key);
        if (store.Save(tag, key, bytes.data(), static_cast<int32_t>(bytes.size()))) {
          Check(*store.Find(tag, key) == bytes, "a saved record loads other bytes");
          Check(store.Count(tag) == before + (existed ? 0 : 1), "a save miscounts");
        } else {
          Check(!existed && RecordStore::IsInciRecord(tag, key), "a save is refused");
          Check(store.Count(tag) == before, "a refused save changed the store");
        }
        break;
      }
      case 1: {
        const DataKey asked = key;
        if (store.Create(tag, &key, bytes.data(), static_cast<int32_t>(bytes.size()))) {
          Check(*store.Find(tag, key) == bytes, "a created record loads other bytes");
          Check(store.Count(tag) == before + 1, "a create miscounts");
          Check(key.extra == asked.extra, "a create changed the extra bytes of the key");
          if (asked.first != DataKey::kAssign)
            Check(key.first == asked.first, "a create changed a given number");
          else
            Check(key.first >= 1 && key.first <= 0x7FFF, "a fresh number out of range");
        } else {
          Check(key == asked, "a refused create changed the key");
          Check(store.Count(tag) == before, "a refused create changed the store");
        }
        break;
      }
      case 2: {
        const bool existed = store.Contains(tag, key);
        Check(store.Delete(tag, key) == existed, "a delete misjudges the record");
        Check(store.Count(tag) == before - (existed ? 1 : 0), "a delete miscounts");
        break;
      }
      case 3: {
        int32_t want = static_cast<int8_t>(input.Byte());
        uint8_t buffer[8] = {};
        const RecordStore::Bytes* stored = store.Find(tag, key);
        int32_t got = want;
        const bool loaded = store.Load(tag, key, want >= 0 && want <= 8 ? buffer : nullptr, &got);
        Check(loaded == (stored != nullptr), "a load misjudges the record");
        if (loaded && want >= 0 && want <= 8)
          Check(got == std::min<int32_t>(want, static_cast<int32_t>(stored->size())),
                "a load delivers a wrong size");
        break;
      }
      default: {
        const RecordStore copy = store;
        Check(copy == store, "a copy differs from its store");
        break;
      }
    }
    size_t total = 0;
    for (uint32_t each : kTags) {
      CheckTag(store, each, key);
      total += store.Count(each);
    }
    Check(total == store.Count(), "the counts of the tags do not add up");
  }
  return 0;
}
