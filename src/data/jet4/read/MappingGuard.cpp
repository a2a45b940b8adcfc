#include "MappingGuard.h"

#include <QtGlobal>
#include <atomic>
#include <cstdint>
#include <mutex>

#if defined(Q_OS_LINUX)
#include <csignal>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace convodesk::jet4 {

#if defined(Q_OS_LINUX)

namespace {

constexpr int kSlots = 64;

// Read by the signal handler, so only lock-free atomics: a slot is in use while end != 0.
struct Slot {
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> lost{false};
};

Slot slots[kSlots];
struct sigaction previousAction;
std::mutex slotsMutex; // add/remove only; the handler never takes it

void onBusError(int signal, siginfo_t* info, void* context) {
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Slot& slot : slots) {
        const std::uintptr_t end = slot.end.load(std::memory_order_acquire);
        if (end == 0 || address < slot.begin.load(std::memory_order_acquire) || address >= end)
            continue;
        const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the page to map over, from the fault's address
        void* start = reinterpret_cast<void*>(address - address % page);
        // The faulting read is retried on this page of zeros.
        if (::mmap(start, page, PROT_READ, MAP_FIXED | MAP_PRIVATE | MAP_ANONYMOUS, -1, 0) != MAP_FAILED) {
            slot.lost.store(true, std::memory_order_release);
            return;
        }
        break;
    }
    // Not one of ours: what would have happened without this handler.
    if (previousAction.sa_flags & SA_SIGINFO) {
        if (previousAction.sa_sigaction) {
            previousAction.sa_sigaction(signal, info, context);
            return;
        }
    } else if (previousAction.sa_handler != SIG_DFL && previousAction.sa_handler != SIG_IGN) {
        previousAction.sa_handler(signal);
        return;
    }
    ::signal(SIGBUS, SIG_DFL); // the read is retried and ends the program as before
}

void installOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_sigaction = onBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &previousAction);
    });
}

} // namespace

int MappingGuard::add(const void* begin, std::size_t length) {
    if (length == 0)
        return -1;
    installOnce();
    const std::lock_guard lock(slotsMutex);
    for (int i = 0; i < kSlots; ++i) {
        if (slots[i].end.load() != 0)
            continue;
        const auto start = reinterpret_cast<std::uintptr_t>(begin);
        slots[i].lost.store(false);
        slots[i].begin.store(start);
        slots[i].end.store(start + length, std::memory_order_release);
        return i;
    }
    return -1;
}

void MappingGuard::remove(int slot) {
    if (slot < 0 || slot >= kSlots)
        return;
    const std::lock_guard lock(slotsMutex);
    slots[slot].end.store(0, std::memory_order_release);
    slots[slot].begin.store(0);
}

bool MappingGuard::pagesLost(int slot) {
    return slot >= 0 && slot < kSlots && slots[slot].lost.load(std::memory_order_acquire);
}

#else

int MappingGuard::add(const void*, std::size_t) {
    return -1;
}
void MappingGuard::remove(int) {}
bool MappingGuard::pagesLost(int) {
    return false;
}

#endif

} // namespace convodesk::jet4
