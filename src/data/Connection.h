#pragma once

#include "data/query/eval/QueryGovernor.h"

#include <QString>
#include <memory>

namespace convodesk::jet4 {
class Database;
}

namespace convodesk::data {

// A connection to one data file, read-only. Created closed; open() reads the file named by
// the connection text's Data Source. Destroying an open connection closes it.
class Connection {
public:
    static constexpr int adUseClient = 3;

    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setConnectionString(const QString& text);
    QString connectionString() const;
    void setCursorLocation(int location);
    int cursorLocation() const;
    // Seconds a query may run before it ends with "Query timeout expired"; 0 waits without end.
    void setCommandTimeout(int seconds);
    int commandTimeout() const;
    // How far a query may grow the process before it ends with "System resource exceeded.";
    // never more than the default (a quarter of the machine's memory, at most 2 GiB).
    void setQueryMemoryBudget(std::int64_t bytes);
    // The limits each query run on this connection keeps to.
    query::QueryLimits queryLimits() const;

    // Opens the data file. Throws DataError (bad connection text, provider, missing or
    // unreadable file). Opening an open connection first closes it.
    void open();
    void close();
    bool isOpen() const;

    // The open file; throws DataError(ConnectionClosed) when closed.
    std::shared_ptr<jet4::Database> database() const;

    // Number of Connection objects that are open right now (for tests of the ownership rules).
    static int openCount();

private:
    QString connectionString_;
    int cursorLocation_ = 2;
    query::QueryLimits limits_ = query::QueryLimits::standard();
    std::shared_ptr<jet4::Database> database_;
};

} // namespace convodesk::data
