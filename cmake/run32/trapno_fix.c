/* Preloaded into every 32-bit Linux process that qemu-i386 runs for Wine.
   qemu-user leaves the trap number of an i386 signal frame at -1, and Wine
   takes the Windows exception code from it: an access violation arrived as an
   illegal instruction, an integer divide by zero as an invalid float
   operation, and IsBadReadPtr crashed. This wraps sigaction() and rebuilds
   the trap number from si_code before Wine's handler runs.
   Built with -nostdlib: no libc headers, no TLS, no stack protector. */
#define RTLD_NEXT ((void *)-1l)
void *dlsym(void *, const char *);

typedef struct { int si_signo, si_errno, si_code; } SigInfo;
typedef void (*SigHandler)(int, SigInfo *, void *);
struct KernelSigaction { SigHandler fn; unsigned long mask[32]; int flags; void (*restorer)(void); };

enum { SIG_ILL = 4, SIG_TRAP = 5, SIG_BUS = 7, SIG_FPE = 8, SIG_SEGV = 11, SA_SIGINFO_FLAG = 4 };
enum { UCONTEXT_TRAPNO_OFFSET = 68 };   /* uc_mcontext.gregs[REG_TRAPNO] on i386 */

static SigHandler s_saved[32];
static int (*s_realSigaction)(int, const struct KernelSigaction *, struct KernelSigaction *);

static unsigned TrapFor(int sig, int code)
{
    switch (sig) {
    case SIG_SEGV: return (code == 1 || code == 2) ? 14 : 13;   /* page fault, else #GP */
    case SIG_BUS:  return 17;
    case SIG_ILL:  return 6;
    case SIG_FPE:  return code == 1 ? 0 : code == 2 ? 4 : 16;   /* divide, overflow, x87 */
    case SIG_TRAP: return code == 2 ? 1 : 3;
    }
    return 0xffffffffu;
}

static void FixTrapno(int sig, SigInfo *si, void *uc)
{
    unsigned *trapno = (unsigned *)((char *)uc + UCONTEXT_TRAPNO_OFFSET);
    if (*trapno == 0xffffffffu)
        *trapno = TrapFor(sig, si->si_code);
    s_saved[sig](sig, si, uc);
}

static int IsWrapped(int sig)
{
    return sig == SIG_SEGV || sig == SIG_BUS || sig == SIG_ILL || sig == SIG_FPE || sig == SIG_TRAP;
}

int sigaction(int sig, const struct KernelSigaction *act, struct KernelSigaction *old)
{
    if (!s_realSigaction)
        s_realSigaction = dlsym(RTLD_NEXT, "sigaction");
    if (!IsWrapped(sig) || !act || !(act->flags & SA_SIGINFO_FLAG)) {
        if (IsWrapped(sig) && act)
            s_saved[sig] = 0;
        int r = s_realSigaction(sig, act, old);
        if (!r && IsWrapped(sig) && old && old->fn == FixTrapno)
            old->fn = s_saved[sig];
        return r;
    }
    struct KernelSigaction wrapped = *act;
    SigHandler previous = s_saved[sig];
    s_saved[sig] = act->fn;
    wrapped.fn = FixTrapno;
    int r = s_realSigaction(sig, &wrapped, old);
    if (r)
        s_saved[sig] = previous;
    else if (old && old->fn == FixTrapno)
        old->fn = previous;
    return r;
}
