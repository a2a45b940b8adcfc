#pragma once

#include "DataPageWriter.h"

#include <QByteArray>

namespace convodesk::jet4 {

class PageStore;

// Stores memo and OLE values: inline in the row when small, else in one LVAL row, else in a
// chain of LVAL rows. Returns the field bytes to put into the row.
class LongValueWriter {
public:
    static constexpr int kMaxInline = 64;
    static constexpr int kMaxSingleRow = 4076;
    static constexpr int kChainPiece = 4072;

    explicit LongValueWriter(PageStore& store);

    static QByteArray inlineField(const QByteArray& value);
    // Writes the value to LVAL pages and returns the 12-byte header that points to it.
    QByteArray storeOutOfRow(const QByteArray& value);

private:
    DataPageWriter pages_;
};

} // namespace convodesk::jet4
