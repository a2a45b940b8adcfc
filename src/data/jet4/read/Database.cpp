#include "Database.h"

#include "DatabaseImpl.h"
#include "HeaderCheck.h"
#include "IndexSeekCursor.h"
#include "RowLocator.h"
#include "SeekValue.h"
#include "TableCursorImpl.h"
#include "TableDefReader.h"
#include "UsageMapReader.h"
#include "data/jet4/Error.h"
#include "data/jet4/IndexKey.h"
#include "data/jet4/Jet4Format.h"

namespace convodesk::jet4 {

Database::Impl::Impl(std::shared_ptr<const PageReader> file) : file_(std::move(file)) {
    checkHeaderPage(*file_);
    sortOrder_ = readSortOrder(*file_);
    catalog_ = readCatalog(file_);
}

QStringList Database::Impl::names(bool (CatalogEntry::*kind)() const, bool userOnly) const {
    QStringList list;
    for (const CatalogEntry& e : catalog_) {
        if ((e.*kind)() && (!userOnly || e.isUserTable()))
            list << e.name;
    }
    return list;
}

const CatalogEntry* Database::Impl::entry(QStringView name, bool (CatalogEntry::*kind)() const) const {
    for (const CatalogEntry& e : catalog_) {
        if ((e.*kind)() && e.name.compare(name, Qt::CaseInsensitive) == 0)
            return &e;
    }
    return nullptr;
}

const Database::Impl::LoadedTable& Database::Impl::load(const CatalogEntry& e) {
    auto it = tables_.find(e.tdefPage());
    if (it == tables_.end()) {
        LoadedTableDef loaded = readTableDef(*file_, e.tdefPage(), e.name);
        it = tables_.insert(e.tdefPage(), {std::make_shared<const TableDef>(std::move(loaded.def)),
                                           loaded.usedPagesMap, e.isUserTable()});
    }
    return *it;
}

const TableDef* Database::Impl::findTable(QStringView name) {
    if (const CatalogEntry* linked = entry(name, &CatalogEntry::isLinkedTable);
        linked && !entry(name, &CatalogEntry::isTable))
        throw Error(Error::Kind::Unsupported,
                    QStringLiteral("%1: \"%2\" is a linked table; linked table not supported.")
                        .arg(file_->fileName(), linked->name));
    const CatalogEntry* e = entry(name, &CatalogEntry::isTable);
    if (!e)
        return nullptr;
    QMutexLocker lock(&mutex_);
    return load(*e).def.get();
}

Database::Impl::LoadedTable Database::Impl::loaded(const TableDef& table) {
    QMutexLocker lock(&mutex_);
    auto it = tables_.constFind(table.tdefPage);
    if (it == tables_.constEnd() || it->def.get() != &table)
        throw Error(Error::Kind::NotFound,
                    QStringLiteral("%1: table \"%2\" was not found through this database")
                        .arg(file_->fileName(), table.name));
    return *it;
}

std::unique_ptr<TableCursor> Database::Impl::openCursor(const TableDef& table, bool countChecked) {
    const LoadedTable t = loaded(table);
    const QString object = QStringLiteral("table \"%1\"").arg(table.name);
    return std::make_unique<TableCursorImpl>(
        file_, t.def,
        [file = file_, map = t.usedPagesMap, object] { return readUsageMap(*file, map, object); },
        countChecked && t.countChecked);
}

std::unique_ptr<IndexWalker> Database::Impl::walkIndex(const TableDef& table, int realIndex) {
    if (realIndex < 0 || static_cast<std::size_t>(realIndex) >= table.realIndexes.size())
        throw Error(Error::Kind::NotFound, QStringLiteral("%1: table \"%2\" has no index %3")
                                               .arg(file_->fileName(), table.name)
                                               .arg(realIndex));
    auto walker = std::make_unique<IndexWalker>(file_, loaded(table).def, realIndex);
    walker->toFirst();
    return walker;
}

std::unique_ptr<TableCursor> Database::Impl::openRows(const TableDef& table,
                                                      std::vector<std::uint32_t> rows) {
    return std::make_unique<IndexSeekCursor>(file_, loaded(table).def, std::move(rows));
}

std::unique_ptr<TableCursor> Database::Impl::openIndexRange(const TableDef& table, int realIndex,
                                                            QByteArrayView keyPrefix) {
    const auto* prefix = reinterpret_cast<const std::uint8_t*>(keyPrefix.data());
    const std::shared_ptr<const TableDef> def = loaded(table).def;
    const QString object = QStringLiteral("table \"%1\"").arg(table.name);
    std::vector<std::uint32_t> rows;
    try {
        IndexWalker walker(file_, def, realIndex);
        walker.seek(prefix, keyPrefix.size());
        while (walker.next()) {
            const int c = IndexWalker::compareCut(walker.key(), walker.keySize(), prefix, keyPrefix.size());
            if (c > 0)
                break;
            if (c < 0)
                continue;
            PageReader::Row row;
            if (!findLiveRow(*file_, def->tdefPage, walker.dataPage(), walker.rowSlot(), object, row))
                return nullptr;
            rows.push_back(format::rowPointer(walker.dataPage(), walker.rowSlot()));
        }
    } catch (const Error& e) {
        if (e.kind() != Error::Kind::Damaged)
            throw;
        return nullptr;
    }
    return std::make_unique<IndexSeekCursor>(file_, def, std::move(rows));
}

std::optional<QueryDef> Database::Impl::findQuery(QStringView name) {
    const CatalogEntry* e = entry(name, &CatalogEntry::isQuery);
    if (!e)
        return std::nullopt;
    QMutexLocker lock(&queryMutex_);
    if (!queryRows_) {
        queryRows_.emplace();
        if (const TableDef* queries = findTable(u"MSysQueries")) {
            std::unique_ptr<TableCursor> cursor = openCursor(*queries);
            *queryRows_ = readQueryRows(*cursor, *queries);
        }
    }
    return buildQueryDef(e->name, queryRows_->value(e->id));
}

namespace {

// The physical index a seek on `columnIndex` uses: one whose first column it is, a unique one
// if there is (one row at most per value), then the one with the fewest columns; -1 if none.
int seekIndex(const TableDef& table, int columnIndex) {
    int best = -1;
    for (std::size_t i = 0; i < table.realIndexes.size(); ++i) {
        const RealIndexDef& index = table.realIndexes[i];
        if (index.columns.front().columnIndex != columnIndex)
            continue;
        if (best >= 0) {
            const RealIndexDef& chosen = table.realIndexes[static_cast<std::size_t>(best)];
            if (chosen.unique() != index.unique() ? chosen.unique()
                                                  : chosen.columns.size() <= index.columns.size())
                continue;
        }
        best = static_cast<int>(i);
    }
    return best;
}

} // namespace

std::unique_ptr<TableCursor> Database::Impl::openSeek(const TableDef& table, int columnIndex,
                                                      const Value& value) {
    if (columnIndex < 0 || static_cast<std::size_t>(columnIndex) >= table.columns.size())
        return nullptr;
    const ColumnDef& column = table.columns[static_cast<std::size_t>(columnIndex)];
    const int index = seekIndex(table, columnIndex);
    const std::optional<Value> exact = seekValue(column, value);
    if (index < 0 || !exact)
        return nullptr;
    const bool ascending = table.realIndexes[static_cast<std::size_t>(index)].columns.front().ascending;
    IndexKey::Buffer key;
    if (!IndexKey::append(column, ascending, *exact, key))
        return nullptr;
    const qsizetype trusted = IndexKey::trustedLength(column, ascending, key.constData(), key.size());
    return openIndexRange(table, index, QByteArrayView(key.constData(), trusted));
}

Database::Database(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Database::~Database() = default;

std::shared_ptr<Database> Database::open(const QString& path) {
    return std::shared_ptr<Database>(new Database(std::make_unique<Impl>(PageReader::openFile(path))));
}

std::shared_ptr<Database> Database::openBytes(const QByteArray& bytes, const QString& name) {
    return std::shared_ptr<Database>(
        new Database(std::make_unique<Impl>(PageReader::fromBytes(bytes, name))));
}

QString Database::path() const {
    return impl_->file().fileName();
}
SortOrder Database::sortOrder() const {
    return impl_->sortOrder();
}
QStringList Database::tableNames() const {
    return impl_->names(&CatalogEntry::isTable, true);
}
QStringList Database::queryNames() const {
    return impl_->names(&CatalogEntry::isQuery, false);
}
QStringList Database::linkedTableNames() const {
    return impl_->names(&CatalogEntry::isLinkedTable, false);
}
const TableDef* Database::findTable(QStringView name) const {
    return impl_->findTable(name);
}
std::optional<QueryDef> Database::findQuery(QStringView name) const {
    return impl_->findQuery(name);
}
std::unique_ptr<TableCursor> Database::openCursor(const TableDef& table) const {
    return impl_->openCursor(table);
}
std::unique_ptr<IndexWalker> Database::walkIndex(const TableDef& table, int realIndex) const {
    return impl_->walkIndex(table, realIndex);
}
std::unique_ptr<TableCursor> Database::openSeek(const TableDef& table, int columnIndex,
                                                const Value& value) const {
    return impl_->openSeek(table, columnIndex, value);
}
std::unique_ptr<TableCursor> Database::openRows(const TableDef& table,
                                                std::vector<std::uint32_t> rows) const {
    return impl_->openRows(table, std::move(rows));
}
std::unique_ptr<TableCursor> Database::openIndexRange(const TableDef& table, int realIndex,
                                                      QByteArrayView keyPrefix) const {
    return impl_->openIndexRange(table, realIndex, keyPrefix);
}

Database::RowCountCheck Database::checkRowCount(const TableDef& table) const {
    std::unique_ptr<TableCursor> cursor = impl_->openCursor(table, false);
    while (cursor->next()) {
    }
    return {static_cast<std::int64_t>(table.storedRowCount), cursor->rowsRead()};
}

} // namespace convodesk::jet4
