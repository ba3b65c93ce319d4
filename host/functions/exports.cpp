// The host functions, exported by name from the host executable exactly as the bridge
// calls them: generated from the bridge's table. Each logs its call with the raw words
// and hands it to the current host.
#include "host/functions/exports.h"

#include "host/functions/host.h"

namespace {

intptr_t Forward(fxthost::Fn fn, const uint64_t* words, int count) {
  fxthost::Host* host = fxthost::Host::Current();
  return host ? host->Dispatch(fn, words, count) : 0;
}

}  // namespace

#define FXT_RETURN_S16(x) return static_cast<int32_t>(x)
#define FXT_RETURN_U16(x) return static_cast<int32_t>(x)
#define FXT_RETURN_BOOL(x) return static_cast<int32_t>(x)
#define FXT_RETURN_I32(x) return static_cast<int32_t>(x)
#define FXT_RETURN_PTR(x) return static_cast<FXPTR>(x)
#define FXT_RETURN_VOID(x) (void)(x)

extern "C" {
#define FXFN(name, result, need, fallback, handling, ...)                               \
  FXHOST_EXPORT FXT_HTYPE_##result FX_CALL name(FXT_EACH(FXT_SLOTPARAM, __VA_ARGS__)) { \
    const uint64_t words[] = {FXT_EACH(FXT_WORD, __VA_ARGS__)};                         \
    FXT_RETURN_##result(Forward(fxthost::Fn::name, words, FXT_NARGS(__VA_ARGS__)));     \
  }
#include "bridge/hostfunctions.def"
}
