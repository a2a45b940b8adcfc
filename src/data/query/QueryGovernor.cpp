#include "QueryGovernor.h"

#include "DataError.h"

#include <QFile>

#include <unistd.h>

#include <algorithm>

namespace convodesk::data::query {
namespace {

constexpr std::int64_t kMemoryCap = std::int64_t(2) << 30;

// The process's resident size in bytes, or -1 where the system does not say.
std::int64_t residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.read(128).split(' ');
    bool ok = false;
    const long long pages = fields.size() > 1 ? fields[1].toLongLong(&ok) : 0;
    return ok ? pages * sysconf(_SC_PAGESIZE) : -1;
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
    standardLimits() = {limits.timeout, std::clamp<std::int64_t>(limits.memoryBytes, 0, defaultMemoryBytes())};
}

QueryGovernor::Scope::Scope(const QueryLimits& limits) {
    if (current_)
        return;
    installed_ = new QueryGovernor(limits);
    current_ = installed_;
}

QueryGovernor::Scope::~Scope() {
    if (!installed_)
        return;
    current_ = nullptr;
    delete installed_;
}

QueryGovernor::QueryGovernor(const QueryLimits& limits)
    : limits_(limits), deadline_(std::chrono::steady_clock::now() + limits.timeout),
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
    governor->checkClock();
    governor->grownSinceCheck_ += bytes;
    if (governor->grownSinceCheck_ >= kBytesPerMemoryCheck)
        governor->checkMemory();
}

void QueryGovernor::check() {
    checkClock();
    if (++checks_ % kChecksPerMemoryCheck == 0)
        checkMemory();
}

void QueryGovernor::checkClock() const {
    if (limits_.timeout.count() > 0 && std::chrono::steady_clock::now() >= deadline_)
        timeoutExpired();
}

void QueryGovernor::checkMemory() {
    grownSinceCheck_ = 0;
    if (residentAtStart_ < 0)
        return;
    const std::int64_t now = residentBytes();
    if (now >= 0 && now - residentAtStart_ > limits_.memoryBytes)
        resourceExceeded();
}

} // namespace convodesk::data::query
