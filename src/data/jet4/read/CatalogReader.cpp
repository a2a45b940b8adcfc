#include "CatalogReader.h"

#include "TableCursorImpl.h"
#include "TableDefReader.h"
#include "UsageMapReader.h"
#include "data/jet4/Jet4Format.h"

namespace convodesk::jet4 {

bool CatalogEntry::isTable() const {
    return type == format::kObjectTypeTable;
}
bool CatalogEntry::isUserTable() const {
    return isTable() && (flags & (format::kObjectFlagSystem | format::kObjectFlagSystemAlternative)) == 0;
}
bool CatalogEntry::isQuery() const {
    return type == format::kObjectTypeQuery;
}
bool CatalogEntry::isLinkedTable() const {
    return type == format::kObjectTypeLinked || type == format::kObjectTypeLinkedOdbc;
}
std::uint32_t CatalogEntry::tdefPage() const {
    return id & format::kObjectIdPageMask;
}

std::vector<CatalogEntry> readCatalog(const std::shared_ptr<const PageReader>& file) {
    const QString name = QStringLiteral("MSysObjects");
    const QString object = QStringLiteral("the catalog (MSysObjects)");
    LoadedTableDef loaded = readTableDef(*file, format::kCatalogTdefPage, name);
    const int idColumn = loaded.def.columnIndex(u"Id");
    const int nameColumn = loaded.def.columnIndex(u"Name");
    const int typeColumn = loaded.def.columnIndex(u"Type");
    const int flagsColumn = loaded.def.columnIndex(u"Flags");
    if (idColumn < 0 || nameColumn < 0 || typeColumn < 0)
        file->damaged(object, QStringLiteral("it lacks the Id, Name or Type column"));
    auto def = std::make_shared<const TableDef>(std::move(loaded.def));
    TableCursorImpl cursor(file, def, [&] { return readUsageMap(*file, loaded.usedPagesMap, object); });
    std::vector<CatalogEntry> entries;
    while (cursor.next()) {
        const Value id = cursor.value(idColumn);
        const Value objectName = cursor.value(nameColumn);
        const Value type = cursor.value(typeColumn);
        if (id.kind() != Value::Kind::Integer || objectName.kind() != Value::Kind::Text ||
            type.kind() != Value::Kind::Integer)
            continue;
        CatalogEntry entry;
        entry.id = static_cast<std::uint32_t>(id.asInteger());
        entry.name = objectName.asText();
        // The type as stored, a signed 16-bit number: forms, reports, macros and modules have
        // negative types whose low bits look like a table's or a query's.
        entry.type = static_cast<int>(type.asInteger());
        if (flagsColumn >= 0) {
            const Value flags = cursor.value(flagsColumn);
            if (flags.kind() == Value::Kind::Integer)
                entry.flags = static_cast<std::uint32_t>(flags.asInteger());
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace convodesk::jet4
