#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <memory>

namespace convodesk::data::query {

// Limits on the work one query run may do: a deadline and a memory budget. Either one ends the
// query with an error (the timeout, or "System resource exceeded." 3035) and the caller goes on.
struct QueryLimits {
    // As a command's timeout: 30 seconds unless set; zero waits without end.
    std::chrono::milliseconds timeout{std::chrono::seconds(30)};
    // How much the process may grow while the query runs: at most a quarter of the machine's
    // memory, and never more than 2 GiB.
    std::int64_t memoryBytes = defaultMemoryBytes();

    static std::int64_t defaultMemoryBytes();
    // The limits new connections and engines start with: the ones above unless a process
    // tightens them (the fuzz targets do, to run many inputs). The budget is never raised.
    static QueryLimits standard();
    static void setStandard(const QueryLimits& limits);
};

// Watches one query run on this thread. Row loops call tick() for each step of work, and every
// function that makes a value grow calls growing() with the size it is about to build first;
// both throw DataError once a limit is passed. Nested runs (subqueries, stored queries used by
// others) share the outermost run's governor, so its limits hold for the whole query.
class QueryGovernor {
public:
    // Installs a governor with `limits` for the current thread unless one is active already.
    class Scope {
    public:
        explicit Scope(const QueryLimits& limits);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        std::unique_ptr<QueryGovernor> installed_;
    };

    static void tick() {
        if (current_ && ++current_->ticks_ % kTicksPerCheck == 0)
            current_->check();
    }
    // Before a value of `bytes` bytes is built: refused at once when it alone would pass the
    // budget; the process's size is looked at again once enough has been built since.
    static void growing(std::int64_t bytes);

    // The two errors, for callers that find a limit passed themselves.
    [[noreturn]] static void timeoutExpired();
    [[noreturn]] static void resourceExceeded();

private:
    using Clock = std::chrono::steady_clock;

    explicit QueryGovernor(const QueryLimits& limits);
    void check();
    void checkClock(Clock::time_point now) const;
    void checkMemory(Clock::time_point now);

    // The clock is read every 64 ticks; the process's size (a read of /proc) every 5 ms, or
    // after 8 MiB of values were built, whichever comes first.
    static constexpr std::uint32_t kTicksPerCheck = 64;
    static constexpr std::chrono::milliseconds kMemoryCheckInterval{5};
    static constexpr std::int64_t kBytesPerMemoryCheck = 8 << 20;
    static thread_local QueryGovernor* current_;

    QueryLimits limits_;
    Clock::time_point deadline_;
    Clock::time_point lastMemoryCheck_;
    std::int64_t residentAtStart_ = 0;
    std::int64_t grownSinceCheck_ = 0;
    std::uint32_t ticks_ = 0;
};

} // namespace convodesk::data::query
