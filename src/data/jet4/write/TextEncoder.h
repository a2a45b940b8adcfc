#pragma once

#include <QByteArray>
#include <QString>

namespace convodesk::jet4 {

// Turns text into the bytes of a Text or Memo value: plain UCS-2. A leading U+FEFF (a byte-order
// mark left over from a file) is dropped: stored plainly its bytes would read as the
// compressed-text marker and garble the value, and readers drop it from compressed text anyway.
class TextEncoder {
public:
    static QString storedText(const QString& text);
    static QByteArray encode(const QString& text);
};

} // namespace convodesk::jet4
