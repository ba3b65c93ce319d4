/* Preloaded into Wine's 32-bit processes under qemu-i386 (scripts/stage-x86): two
 * things that Debian's qemu 7.2 user-mode emulator does not do as the Linux kernel does,
 * and that Wine's 32-bit half relies on.
 *
 * 1. MAP_FIXED_NOREPLACE. The emulator takes it for a plain hint and, when the range is
 *    taken, maps the memory somewhere else after searching the emulated address space
 *    page by page. Wine reserves its address space in 64 KiB halvings with this flag,
 *    and keeps what lands above its user-space limit; at start-up it then asks again,
 *    range by range, for the 2 GiB it kept, and every refusal costs such a search:
 *    minutes for each Wine process before it runs a line of its program. Here the flag
 *    means what it means on Linux: the range as asked, or EEXIST.
 * 2. The trap number of a page fault. The emulator delivers SIGSEGV with trap number -1
 *    in the signal context; Wine reads it to tell a page fault from other faults, and
 *    takes -1 for an illegal instruction. A page fault (a SIGSEGV whose code says the
 *    address was unmapped or not accessible) gets its number, 14, before Wine's handler
 *    sees it: guard pages and copy-on-write work, and a real crash is reported as the
 *    page fault it is.
 *
 * Built for i386 and, empty, for x86_64: LD_PRELOAD names it through $LIB, so that the
 * 64-bit programs the same environment reaches (qemu itself, wine64, wineserver) load
 * the empty one instead of complaining. */
#if defined(__i386__)

#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <signal.h>
#include <stdint.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

#ifndef MAP_FIXED_NOREPLACE
#define MAP_FIXED_NOREPLACE 0x100000
#endif

enum { kPageFault = 14 };

static void* compat_mmap(void* addr, size_t length, int prot, int flags, int fd, off64_t offset) {
  /* mmap2 takes the offset in pages; the C library refuses one that is not whole. */
  if (offset & 0xfff) {
    errno = EINVAL;
    return MAP_FAILED;
  }
  void* mapped = (void*)syscall(SYS_mmap2, addr, length, prot, flags & ~MAP_FIXED_NOREPLACE, fd,
                                (unsigned long)(offset >> 12));
  if (!(flags & MAP_FIXED_NOREPLACE) || mapped == MAP_FAILED || mapped == addr) return mapped;
  syscall(SYS_munmap, mapped, length);
  errno = EEXIST;
  return MAP_FAILED;
}

void* mmap(void* addr, size_t length, int prot, int flags, int fd, off_t offset) {
  return compat_mmap(addr, length, prot, flags, fd, offset);
}

void* mmap64(void* addr, size_t length, int prot, int flags, int fd, off64_t offset) {
  return compat_mmap(addr, length, prot, flags, fd, offset);
}

static void (*segv_handler)(int, siginfo_t*, void*);

static void segv_with_trap_number(int number, siginfo_t* info, void* context) {
  ucontext_t* uc = (ucontext_t*)context;
  if (uc->uc_mcontext.gregs[REG_TRAPNO] == -1 &&
      (info->si_code == SEGV_MAPERR || info->si_code == SEGV_ACCERR))
    uc->uc_mcontext.gregs[REG_TRAPNO] = kPageFault;
  segv_handler(number, info, context);
}

int sigaction(int number, const struct sigaction* action, struct sigaction* old) {
  static int (*next)(int, const struct sigaction*, struct sigaction*);
  if (!next)
    next = (int (*)(int, const struct sigaction*, struct sigaction*))dlsym(RTLD_NEXT, "sigaction");
  if (number != SIGSEGV || !action || !(action->sa_flags & SA_SIGINFO) ||
      action->sa_sigaction == segv_with_trap_number)
    return next(number, action, old);
  struct sigaction wrapped = *action;
  segv_handler = action->sa_sigaction;
  wrapped.sa_sigaction = segv_with_trap_number;
  return next(number, &wrapped, old);
}

#else

/* Nothing to do for 64-bit programs. */
void fxt_qemu_i386_compat_unused(void);
void fxt_qemu_i386_compat_unused(void) {}

#endif
