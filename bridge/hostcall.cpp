// The raw host calls, generated from bridge/hostfunctions.def, and the public wrappers of
// its PLAIN rows. What a raw call does is written in bridge/hostcall.h.
#include "bridge/hostcall.h"

namespace {

// A resolved address as a callable of the host function's own type. Going through
// void (*)() keeps the conversion between function types explicit and warning-free.
template <typename Fn>
Fn AsFunction(FARPROC address) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(address));
}

}  // namespace

#define FXT_INVOKE_S16(fn, fallback, ...) \
  return fn ? static_cast<int32_t>(static_cast<int16_t>(fn(__VA_ARGS__))) : (fallback)
#define FXT_INVOKE_U16(fn, fallback, ...) \
  return fn ? static_cast<int32_t>(static_cast<uint16_t>(fn(__VA_ARGS__))) : (fallback)
#define FXT_INVOKE_BOOL(fn, fallback, ...) \
  return fn ? static_cast<int32_t>(static_cast<uint8_t>(fn(__VA_ARGS__))) : (fallback)
#define FXT_INVOKE_I32(fn, fallback, ...) return fn ? fn(__VA_ARGS__) : (fallback)
#define FXT_INVOKE_PTR(fn, fallback, ...) \
  return fn ? reinterpret_cast<void*>(fn(__VA_ARGS__)) : nullptr
#define FXT_INVOKE_VOID(fn, fallback, ...) \
  if (fn) fn(__VA_ARGS__)

namespace fxt_host {

#define FXFN(name, result, need, fallback, handling, ...)                             \
  static FARPROC Resolve_##name() {                                                   \
    static FARPROC fpProc = GetProcAddress(GetFinaleHandle(), #name);                 \
    return fpProc;                                                                    \
  }                                                                                   \
  bool Has_##name() { return Resolve_##name() != nullptr; }                           \
  FXT_RTYPE_##result name(FXT_EACH(FXT_PARAM, __VA_ARGS__)) {                         \
    typedef FXT_HTYPE_##result(FX_CALL* HostFn)(FXT_EACH(FXT_SLOTTYPE, __VA_ARGS__)); \
    HostFn fn = AsFunction<HostFn>(Resolve_##name());                                 \
    FXT_INVOKE_##result(fn, fallback, FXT_EACH(FXT_WIDEN, __VA_ARGS__));              \
  }
#include "bridge/hostfunctions.def"

}  // namespace fxt_host

// The public wrappers of the rows without hand-written handling. The result type is
// pasted here, before it is passed on: <windows.h> defines VOID as a macro, which would
// otherwise be expanded on the way.
#define FXT_PUBLIC_PLAIN(name, rtype, ...)                  \
  rtype name(FXT_EACH(FXT_PARAM, __VA_ARGS__)) {            \
    return fxt_host::name(FXT_EACH(FXT_PASS, __VA_ARGS__)); \
  }
#define FXT_PUBLIC_OWN(name, rtype, ...)
#define FXFN(name, result, need, fallback, handling, ...) \
  FXT_PUBLIC_##handling(name, FXT_RTYPE_##result, __VA_ARGS__)
#include "bridge/hostfunctions.def"
