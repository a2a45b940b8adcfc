#pragma once

#include <QString>
#include <stdexcept>

namespace convodesk::jet4 {

// Every failure of the reader or the writer. The message names the file (and the object
// where there is one) and is meant for the operator.
class Error : public std::runtime_error {
public:
    enum class Kind {
        Io,           // cannot open/read/write the file
        NotDatabase,  // not an Access file at all
        Jet3,         // Access 97 (Jet 3) file
        Accdb,        // ACE / .accdb file
        Encrypted,    // database password or encryption
        Damaged,      // inconsistent structure (bad offset, loop, ...)
        NotFound,     // no such table / query
        Unsupported,  // e.g. linked table
        InvalidInput, // writer: the data given cannot be written
    };
    Error(Kind kind, const QString& message) : std::runtime_error(message.toStdString()), kind_(kind) {}
    Kind kind() const { return kind_; }
    QString message() const { return QString::fromStdString(what()); }

private:
    Kind kind_;
};

} // namespace convodesk::jet4
