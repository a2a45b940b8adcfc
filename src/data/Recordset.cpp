#include "Recordset.h"

#include "Connection.h"
#include "DataError.h"
#include "DatabaseCatalog.h"
#include "DisplayText.h"
#include "JetErrorText.h"
#include "data/query/run/DeferredRowSource.h"
#include "data/query/run/QueryEngine.h"

#include <atomic>

namespace convodesk::data {
namespace {
std::atomic<int> openRecordsets{0};
}

class Recordset::Impl {
public:
    std::shared_ptr<Connection> connection;
    bool ownsConnection = false;
    std::unique_ptr<query::RowSource> rows;
    QString sourceName;
    QString shownText; // fieldText() of a value that is not stored text
    bool atEnd = true;
    bool positioned = true; // false until the first row is asked for (a table record set)

    void requireOpen() const {
        if (!rows)
            throw DataError(DataError::ConnectionClosed, QStringLiteral("The record set is not open."));
    }

    // Open, `index` one of the fields, and on a row.
    void requireCurrent(int index) {
        requireOpen();
        if (index < 0 || index >= static_cast<int>(rows->columns().size()))
            throw DataError(DataError::NoSuchField,
                            QStringLiteral("No field number %1 in '%2'.").arg(index).arg(sourceName));
        position();
        if (atEnd)
            throw DataError(
                DataError::NoCurrentRow,
                QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
    }

    // Moves onto the first row if that has not happened yet.
    void position() {
        if (positioned)
            return;
        positioned = true;
        try {
            atEnd = !rows->next();
        } catch (const jet4::Error& error) {
            atEnd = true;
            throw fromReaderError(error);
        }
    }
};

Recordset::Recordset() : impl_(std::make_unique<Impl>()) {}

Recordset::~Recordset() {
    close();
}

namespace {

std::shared_ptr<jet4::Database> openDatabase(const std::shared_ptr<Connection>& connection) {
    if (!connection)
        throw DataError(DataError::ConnectionClosed, QStringLiteral("The record set has no connection."));
    return connection->database();
}

template <typename Run> std::unique_ptr<query::RowSource> readerGuarded(Run run) {
    try {
        return run();
    } catch (const jet4::Error& error) {
        throw fromReaderError(error);
    }
}

} // namespace

void Recordset::openTable(const QString& source, std::shared_ptr<Connection> connection) {
    close();
    auto database = openDatabase(connection);
    impl_->rows = readerGuarded([&]() -> std::unique_ptr<query::RowSource> {
        DatabaseCatalog catalog(database);
        if (auto table = catalog.openTable(source))
            return table;
        // A stored query is checked now, as opening it checks, and run only when read.
        query::QueryEngine engine(catalog);
        std::vector<query::ColumnInfo> columns = engine.describe(source);
        return std::make_unique<query::DeferredRowSource>(
            std::move(columns),
            [database, source, limits = connection->queryLimits()]() -> std::unique_ptr<query::RowSource> {
                DatabaseCatalog catalog(database);
                query::QueryEngine engine(catalog);
                engine.setLimits(limits);
                return std::make_unique<query::RowSetSource>(engine.runSource(source));
            });
    });
    impl_->connection = std::move(connection);
    impl_->sourceName = source;
    ++openRecordsets;
    impl_->atEnd = false;
    impl_->positioned = false;
}

void Recordset::openQuery(const QString& queryText, std::shared_ptr<Connection> connection) {
    close();
    auto database = openDatabase(connection);
    impl_->rows = readerGuarded([&]() -> std::unique_ptr<query::RowSource> {
        DatabaseCatalog catalog(database);
        query::QueryEngine engine(catalog);
        engine.setLimits(connection->queryLimits());
        return engine.openText(queryText);
    });
    impl_->connection = std::move(connection);
    impl_->sourceName = queryText;
    ++openRecordsets;
    impl_->atEnd = false;
    moveNext();
}

void Recordset::openQuery(const QString& queryText, const QString& connectionText) {
    close();
    auto connection = std::make_shared<Connection>();
    connection->setConnectionString(connectionText);
    connection->open();
    openQuery(queryText, connection);
    impl_->ownsConnection = true;
}

bool Recordset::isOpen() const {
    return impl_->rows != nullptr;
}

bool Recordset::eof() const {
    impl_->requireOpen();
    impl_->position();
    return impl_->atEnd;
}

jet4::Value Recordset::field(const QString& name) const {
    return field(fieldIndex(name));
}

int Recordset::fieldIndex(const QString& name) const {
    impl_->requireOpen();
    const auto& columns = impl_->rows->columns();
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    throw DataError::noSuchField(name, impl_->sourceName);
}

jet4::Value Recordset::field(int index) const {
    impl_->requireCurrent(index);
    try {
        return impl_->rows->value(index);
    } catch (const jet4::Error& error) {
        throw fromReaderError(error);
    }
}

QStringView Recordset::fieldText(int index) const {
    impl_->requireCurrent(index);
    try {
        QStringView text;
        switch (impl_->rows->textView(index, text)) {
        case query::TextRead::Text:
            return text;
        case query::TextRead::Null:
            return {};
        case query::TextRead::NotText:
            break;
        }
        impl_->shownText = displayText(impl_->rows->value(index));
        return impl_->shownText;
    } catch (const jet4::Error& error) {
        throw fromReaderError(error);
    }
}

QStringList Recordset::fieldNames() const {
    QStringList names;
    if (impl_->rows)
        for (const auto& column : impl_->rows->columns())
            names << column.name;
    return names;
}

void Recordset::moveNext() {
    impl_->requireOpen();
    if (!impl_->positioned) {
        impl_->position();
        if (impl_->atEnd)
            return;
    }
    if (impl_->atEnd)
        return;
    try {
        impl_->atEnd = !impl_->rows->next();
    } catch (const jet4::Error& error) {
        impl_->atEnd = true;
        throw fromReaderError(error);
    }
}

void Recordset::close() {
    if (!impl_->rows)
        return;
    impl_->rows.reset();
    if (impl_->ownsConnection && impl_->connection)
        impl_->connection->close();
    impl_->connection.reset();
    impl_->ownsConnection = false;
    impl_->atEnd = true;
    impl_->positioned = true;
    --openRecordsets;
}

int Recordset::openCount() {
    return openRecordsets.load();
}

} // namespace convodesk::data
