#include "Connection.h"

#include "ConnectionText.h"
#include "DataError.h"
#include "JetErrorText.h"
#include "data/jet4/read/Database.h"
#include "data/jet4/read/NativePath.h"

#include <algorithm>
#include <atomic>

namespace convodesk::data {
namespace {
std::atomic<int> openConnections{0};
}

Connection::Connection() = default;

Connection::~Connection() {
    close();
}

void Connection::setConnectionString(const QString& text) {
    connectionString_ = text;
}
QString Connection::connectionString() const {
    return connectionString_;
}
void Connection::setCursorLocation(int location) {
    cursorLocation_ = location;
}
int Connection::cursorLocation() const {
    return cursorLocation_;
}
void Connection::setCommandTimeout(int seconds) {
    limits_.timeout = std::chrono::seconds(std::max(seconds, 0));
}
int Connection::commandTimeout() const {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(limits_.timeout).count());
}
void Connection::setQueryMemoryBudget(std::int64_t bytes) {
    limits_.memoryBytes = std::clamp<std::int64_t>(bytes, 0, query::QueryLimits::defaultMemoryBytes());
}
query::QueryLimits Connection::queryLimits() const {
    return limits_;
}

void Connection::open() {
    close();
    const QString path = dataSourcePath(connectionString_);
    if (!jet4::NativePath::isRegularFile(path))
        throw DataError(DataError::FileNotFound, QStringLiteral("Could not find file '%1'.").arg(path));
    try {
        database_ = jet4::Database::open(path);
    } catch (const jet4::Error& error) {
        throw fromReaderError(error);
    }
    ++openConnections;
}

void Connection::close() {
    if (!database_)
        return;
    database_.reset();
    --openConnections;
}

bool Connection::isOpen() const {
    return database_ != nullptr;
}

std::shared_ptr<jet4::Database> Connection::database() const {
    if (!database_)
        throw DataError(DataError::ConnectionClosed, QStringLiteral("The connection is not open."));
    return database_;
}

int Connection::openCount() {
    return openConnections.load();
}

} // namespace convodesk::data
