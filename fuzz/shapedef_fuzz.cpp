// Shape definition records of arbitrary bytes, loaded from the emulated host: reading
// their instructions must stay within the record, and the instructions read must build
// a record that reads back as the same instructions (or be refused as one that no
// record can hold).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "framework/notation/shapedef.h"
#include "host/functions/host.h"

namespace {

constexpr uint32_t kShapeTag = FCShapeDef::TAG;

bool SameInstructions(const FCShapeDefInstructions& a, const FCShapeDefInstructions& b) {
  if (a.GetCount() != b.GetCount()) return false;
  for (int i = 0; i < a.GetCount(); ++i) {
    const FCShapeDefInstruction* x = a.GetItemAt(i);
    const FCShapeDefInstruction* y = b.GetItemAt(i);
    if (x->GetCode() != y->GetCode() || x->GetItemCount() != y->GetItemCount()) return false;
    const size_t bytes = static_cast<size_t>(x->GetItemCount()) * FCShapeDefInstruction::ITEM_SIZE;
    if (bytes > 0 && std::memcmp(x->GetItems(), y->GetItems(), bytes) != 0) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fxthost::Host* host = [] {
    fxthost::Host* made = new fxthost::Host;
    made->NewDocument();
    return made;
  }();
  host->ClearCalls();  // the call log would grow with every input
  fxthost::Document& document = *host->CurrentDocument();
  document.records.Put(kShapeTag, fxthost::DataKey{1, 0, 0, 0},
                       fxthost::RecordStore::Bytes(data, data + size));

  FCShapeDef shape;
  if (!shape.Load(1)) std::abort();
  const std::unique_ptr<FCShapeDefInstructions> read(shape.CreateInstructions());
  FCShapeDef rebuilt;
  if (!rebuilt.RecreateInstructions(read.get())) return 0;  // none, or too many items
  const std::unique_ptr<FCShapeDefInstructions> again(rebuilt.CreateInstructions());
  if (!SameInstructions(*read, *again)) std::abort();
  return 0;
}
