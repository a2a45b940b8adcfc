#include "QueryGovernor.h"

#include "data/DataError.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace convodesk::data::query {
namespace {

constexpr std::int64_t kMemoryCap = std::int64_t(2) << 30;

// The process's resident size in bytes, or -1 where the system does not say. Read with one
// plain system call on a descriptor kept open: it is asked for at the start of every query (a
// lookup by index takes a fraction of a millisecond, and opening the file anew took a tenth of
// it) and up to a few hundred times a second while a query runs.
std::int64_t residentBytes() {
    static const int fd = ::open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    char text[128];
    const ssize_t length = ::pread(fd, text, sizeof text - 1, 0);
    if (length <= 0)
        return -1;
    text[length] = '\0';
    // "size resident shared ...", in pages.
    char* end = nullptr;
    std::strtoll(text, &end, 10);
    const long long pages = std::strtoll(end, &end, 10);
    return pages > 0 ? pages * sysconf(_SC_PAGESIZE) : -1;
}

QueryLimits& standardLimits() {
    static QueryLimits limits;
    return limits;
}

} // namespace

thread_local QueryGovernor* QueryGovernor::current_ = nullptr;

std::int64_t QueryLimits::defaultMemoryBytes() {
    static const std::int64_t bytes = [] {
        const long pages = sysconf(_SC_PHYS_PAGES);
        const long pageSize = sysconf(_SC_PAGESIZE);
        if (pages <= 0 || pageSize <= 0)
            return kMemoryCap / 4;
        return std::min<std::int64_t>(std::int64_t(pages) * pageSize / 4, kMemoryCap);
    }();
    return bytes;
}

QueryLimits QueryLimits::standard() {
    return standardLimits();
}

void QueryLimits::setStandard(const QueryLimits& limits) {
    standardLimits() = {limits.timeout,
                        std::clamp<std::int64_t>(limits.memoryBytes, 0, defaultMemoryBytes())};
}

QueryGovernor::Scope::Scope(const QueryLimits& limits) {
    if (current_)
        return;
    installed_.reset(new QueryGovernor(limits));
    current_ = installed_.get();
}

QueryGovernor::Scope::~Scope() {
    if (installed_)
        current_ = nullptr;
}

QueryGovernor::QueryGovernor(const QueryLimits& limits)
    : limits_(limits), deadline_(Clock::now() + limits.timeout), lastMemoryCheck_(Clock::now()),
      residentAtStart_(residentBytes()) {}

void QueryGovernor::timeoutExpired() {
    throw DataError(DataError::QueryTimeout, QStringLiteral("Query timeout expired"));
}

void QueryGovernor::resourceExceeded() {
    throw DataError(DataError::ResourceExceeded, QStringLiteral("System resource exceeded."));
}

void QueryGovernor::growing(std::int64_t bytes) {
    QueryGovernor* governor = current_;
    const std::int64_t budget = governor ? governor->limits_.memoryBytes : standardLimits().memoryBytes;
    if (bytes < 0 || bytes > budget)
        resourceExceeded();
    if (!governor)
        return;
    const auto now = Clock::now();
    governor->checkClock(now);
    governor->grownSinceCheck_ += bytes;
    if (governor->grownSinceCheck_ >= kBytesPerMemoryCheck)
        governor->checkMemory(now);
}

void QueryGovernor::check() {
    const auto now = Clock::now();
    checkClock(now);
    if (now - lastMemoryCheck_ >= kMemoryCheckInterval)
        checkMemory(now);
}

void QueryGovernor::checkClock(Clock::time_point now) const {
    if (limits_.timeout.count() > 0 && now >= deadline_)
        timeoutExpired();
}

void QueryGovernor::checkMemory(Clock::time_point now) {
    grownSinceCheck_ = 0;
    lastMemoryCheck_ = now;
    if (residentAtStart_ < 0)
        return;
    const std::int64_t resident = residentBytes();
    if (resident >= 0 && resident - residentAtStart_ > limits_.memoryBytes)
        resourceExceeded();
}

} // namespace convodesk::data::query
