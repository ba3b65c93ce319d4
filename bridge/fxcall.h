// Calling convention, argument slots and the preprocessor machinery that turns the rows
// of hostfunctions.def into wrappers, exports and tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

// The host's calling convention: the callee removes its arguments on 32-bit x86
// (__stdcall); elsewhere there is only one convention.
#if defined(__i386__) || defined(_M_IX86)
#if defined(_MSC_VER)
#define FX_CALL __stdcall
#else
#define FX_CALL __attribute__((stdcall))
#endif
#else
#define FX_CALL
#endif

// A 32-bit host slot that may carry a pointer: exactly 32 bits on the 32-bit builds the
// host interface is defined for, pointer-sized on 64-bit builds.
typedef uintptr_t FXPTR;

// An argument for a pointer slot: takes a pointer or an integer, so that callers pass
// what they have (a record buffer, a handle, 0) without casts.
struct FXArg {
  FXPTR value;
  FXArg(std::nullptr_t) : value(0) {}
  FXArg(const void* pointer) : value(reinterpret_cast<FXPTR>(pointer)) {}
  template <typename T, typename = typename std::enable_if<std::is_integral<T>::value ||
                                                           std::is_enum<T>::value>::type>
  FXArg(T number) : value(static_cast<FXPTR>(static_cast<intptr_t>(number))) {}
};

// Per argument letter: the C++ type the framework passes, the host's slot type, and the
// widening from one to the other.
#define FXT_CTYPE_s int16_t
#define FXT_CTYPE_u uint16_t
#define FXT_CTYPE_b bool
#define FXT_CTYPE_w int32_t
#define FXT_CTYPE_p FXArg

#define FXT_SLOT_s int32_t
#define FXT_SLOT_u uint32_t
#define FXT_SLOT_b uint32_t
#define FXT_SLOT_w int32_t
#define FXT_SLOT_p FXPTR

#define FXT_WIDEN_s(x) static_cast<int32_t>(x)
#define FXT_WIDEN_u(x) static_cast<uint32_t>(x)
#define FXT_WIDEN_b(x) static_cast<uint32_t>(static_cast<uint8_t>(x))
#define FXT_WIDEN_w(x) (x)
#define FXT_WIDEN_p(x) ((x).value)

// The raw word of a slot as the host's call log keeps it: 32-bit slots as their bit
// pattern, pointer slots as the pointer's bits.
#define FXT_WORD_s(x) static_cast<uint64_t>(static_cast<uint32_t>(x))
#define FXT_WORD_u(x) static_cast<uint64_t>(static_cast<uint32_t>(x))
#define FXT_WORD_b(x) static_cast<uint64_t>(static_cast<uint32_t>(x))
#define FXT_WORD_w(x) static_cast<uint64_t>(static_cast<uint32_t>(x))
#define FXT_WORD_p(x) static_cast<uint64_t>(x)

// Result kinds: the type the wrapper returns and the type the host returns.
#define FXT_RTYPE_S16 int32_t
#define FXT_RTYPE_U16 int32_t
#define FXT_RTYPE_BOOL int32_t
#define FXT_RTYPE_I32 int32_t
#define FXT_RTYPE_PTR void*
#define FXT_RTYPE_VOID void

#define FXT_HTYPE_S16 int32_t
#define FXT_HTYPE_U16 int32_t
#define FXT_HTYPE_BOOL int32_t
#define FXT_HTYPE_I32 int32_t
#define FXT_HTYPE_PTR FXPTR
#define FXT_HTYPE_VOID void

// Applying a macro to each argument letter, with its index.
#define FXT_CAT(a, b) FXT_CAT_(a, b)
#define FXT_CAT_(a, b) a##b
#define FXT_NARGS(...) \
  FXT_NARGS_(__VA_ARGS__, 20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0)
#define FXT_NARGS_(_1, _2, _3, _4, _5, _6, _7, _8, _9, _10, _11, _12, _13, _14, _15, _16, _17, \
                   _18, _19, _20, N, ...)                                                      \
  N
#define FXT_EACH(M, ...) FXT_CAT(FXT_EACH_, FXT_NARGS(__VA_ARGS__))(M, __VA_ARGS__)
#define FXT_EACH_1(M, a) M(0, a)
#define FXT_EACH_2(M, a, ...) M(1, a), FXT_EACH_1(M, __VA_ARGS__)
#define FXT_EACH_3(M, a, ...) M(2, a), FXT_EACH_2(M, __VA_ARGS__)
#define FXT_EACH_4(M, a, ...) M(3, a), FXT_EACH_3(M, __VA_ARGS__)
#define FXT_EACH_5(M, a, ...) M(4, a), FXT_EACH_4(M, __VA_ARGS__)
#define FXT_EACH_6(M, a, ...) M(5, a), FXT_EACH_5(M, __VA_ARGS__)
#define FXT_EACH_7(M, a, ...) M(6, a), FXT_EACH_6(M, __VA_ARGS__)
#define FXT_EACH_8(M, a, ...) M(7, a), FXT_EACH_7(M, __VA_ARGS__)
#define FXT_EACH_9(M, a, ...) M(8, a), FXT_EACH_8(M, __VA_ARGS__)
#define FXT_EACH_10(M, a, ...) M(9, a), FXT_EACH_9(M, __VA_ARGS__)
#define FXT_EACH_11(M, a, ...) M(10, a), FXT_EACH_10(M, __VA_ARGS__)
#define FXT_EACH_12(M, a, ...) M(11, a), FXT_EACH_11(M, __VA_ARGS__)
#define FXT_EACH_13(M, a, ...) M(12, a), FXT_EACH_12(M, __VA_ARGS__)
#define FXT_EACH_14(M, a, ...) M(13, a), FXT_EACH_13(M, __VA_ARGS__)
#define FXT_EACH_15(M, a, ...) M(14, a), FXT_EACH_14(M, __VA_ARGS__)
#define FXT_EACH_16(M, a, ...) M(15, a), FXT_EACH_15(M, __VA_ARGS__)
#define FXT_EACH_17(M, a, ...) M(16, a), FXT_EACH_16(M, __VA_ARGS__)
#define FXT_EACH_18(M, a, ...) M(17, a), FXT_EACH_17(M, __VA_ARGS__)
#define FXT_EACH_19(M, a, ...) M(18, a), FXT_EACH_18(M, __VA_ARGS__)
#define FXT_EACH_20(M, a, ...) M(19, a), FXT_EACH_19(M, __VA_ARGS__)

// Argument-list builders for FXT_EACH. The index counts down from the last argument,
// which only names the parameters; order is kept as written.
#define FXT_PARAM(i, l) FXT_CTYPE_##l a##i
#define FXT_SLOTPARAM(i, l) FXT_SLOT_##l a##i
#define FXT_SLOTTYPE(i, l) FXT_SLOT_##l
#define FXT_PASS(i, l) a##i
#define FXT_WIDEN(i, l) FXT_WIDEN_##l(a##i)
#define FXT_WORD(i, l) FXT_WORD_##l(a##i)
#define FXT_LETTER(i, l) #l
