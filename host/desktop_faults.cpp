// The desktop's side of runtime error reports: the debugger prompt on
// standard input that follows every report, the process exit, and the
// translation of processor faults (signals) into reports.
#include <pthread.h>
#include <signal.h>
#include <ucontext.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/errors.h"
#include "runtime/collector.h"

// Streams are flushed first and no static destructor runs: a report may come
// from inside a fault handler.
void ExitProcess(int code) {
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(code & 0xFF);
}

namespace {

void PrintDebugText(const char* address_text) {
    // Only an object on one of the collector's lists is asked for its text; any
    // other address (mistyped, stale, or not an object at all) prints nothing.
    uintptr_t address = static_cast<uintptr_t>(std::strtoull(address_text, nullptr, 16));
    Object* object = dynamic_cast<Object*>(gc_find_object(address));
    PrintBytesLine(object ? object->DebugText() : String());
}

}  // namespace

// The debugger prompt: returns when the debugger asks for the report again;
// every other answer ends the process.
void AfterReport(const char*) {
    std::fprintf(stderr, "{{~~%s~~}}\n", debugPosition ? debugPosition : "(null)");
    std::fflush(stderr);
    PrintBytesLine(String());
    for (;;) {
        char line[256];
        if (!std::fgets(line, sizeof line, stdin)) ExitProcess(-1);
        char* newline = std::strchr(line, '\n');
        if (!newline) ExitProcess(-1);
        *newline = 0;
        switch (line[0]) {
        case '?':
            continue;
        case '@':
            PrintDebugText(line + 1);
            continue;
        case 'r':
        case 's':
        case 'e':
        case 'l':
            return;
        case 'q':
            ExitProcess(0);
        default:
            std::printf("????? %s ?????", line);
            ExitProcess(-1);
        }
    }
}

// ---- The fault translator --------------------------------------------------

namespace {

// Room for the report and the prompt when the fault is a stack overflow.
constexpr size_t kAltStackBytes = 256 * 1024;
// The kernel keeps a gap below the main stack's lowest possible page; a fault
// this far below the stack's limit is still an overflow.
constexpr uintptr_t kStackGuardBytes = 2 * 1024 * 1024;
// A fault this close below the interrupted stack pointer is an overflow too.
constexpr uintptr_t kNearStackPointerBytes = 64 * 1024;

uintptr_t stack_low = 0, stack_high = 0;

bool IsStackOverflow(uintptr_t address, void* context) {
    if (stack_high && address < stack_high && address + kStackGuardBytes >= stack_low) return true;
    auto* uc = static_cast<ucontext_t*>(context);
    uintptr_t sp = static_cast<uintptr_t>(uc->uc_mcontext.gregs[REG_RSP]);
    return address <= sp && sp - address <= kNearStackPointerBytes;
}

void OnFault(int signal_number, siginfo_t* info, void* context) {
    const char* text = "Unknown exception";
    switch (signal_number) {
    case SIGSEGV:
        text = IsStackOverflow(reinterpret_cast<uintptr_t>(info->si_addr), context) ? "Stack overflow"
                                                                                     : "Memory access violation";
        break;
    case SIGBUS:
        text = "Memory access violation";
        break;
    case SIGILL:
        text = "Illegal instruction";
        break;
    case SIGFPE:
        if (info->si_code == FPE_INTDIV) text = "Integer divide by zero";
        break;
    }
    FatalReport(text);
}

}  // namespace

void InstallFaultTranslator() {
    static void* alt_stack = nullptr;
    if (!alt_stack) {
        alt_stack = std::malloc(kAltStackBytes);
        stack_t ss{};
        ss.ss_sp = alt_stack;
        ss.ss_size = kAltStackBytes;
        sigaltstack(&ss, nullptr);
    }
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
        void* base = nullptr;
        size_t size = 0;
        if (pthread_attr_getstack(&attr, &base, &size) == 0) {
            stack_low = reinterpret_cast<uintptr_t>(base);
            stack_high = stack_low + size;
        }
        pthread_attr_destroy(&attr);
    }
    struct sigaction action {};
    action.sa_sigaction = OnFault;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int s : {SIGSEGV, SIGBUS, SIGILL, SIGFPE}) sigaction(s, &action, nullptr);
}
