#pragma once

#include "data/jet4/write/Writer.h"

#include <QJsonValue>
#include <QString>
#include <optional>

namespace convodesk::testing {

// Compares a written table, value by value, with what both reference readers return.
// Reports mismatches through QTest (QCOMPARE/QVERIFY2 semantics: returns false on the first one).
class RoundTripCheck {
public:
    // The text mdb-export prints for the value (nullopt: an unquoted empty field).
    static std::optional<QString> exportText(jet4::ColumnType type, const jet4::Value& value);
    // The JSON value tests/node/dump.mjs prints for it.
    static QJsonValue readerValue(jet4::ColumnType type, const jet4::Value& value);

    static bool matchesMdbExport(const QString& file, const jet4::WriterTable& table);
    static bool matchesMdbReader(const QString& file, const jet4::WriterTable& table);
    static bool matchesBoth(const QString& file, const jet4::WriterTable& table) {
        return matchesMdbExport(file, table) && matchesMdbReader(file, table);
    }
};

} // namespace convodesk::testing
