#pragma once

#include <QString>

#include <stdexcept>

namespace convodesk::data {

// A failure raised by the data layer: a number and a description, as the screens show them.
class DataError : public std::runtime_error {
public:
    // Error numbers (stable; shown to the operator with the description).
    enum Number {
        FileNotFound = 3024,       // the data file does not exist
        FileUnreadable = 3051,     // cannot be opened / not a Jet 4 file / encrypted
        DamagedFile = 3343,        // the file's structure is damaged
        ProviderNotFound = 3706,   // the connection text names another provider
        BadConnectionText = 3709,  // the connection text cannot be parsed / has no data source
        ConnectionClosed = 3704,   // operation needs an open connection / record set
        NoCurrentRow = 3021,       // EOF reached
        NoSuchSource = 3078,       // no table or query of that name
        NoSuchField = 3265,        // no field of that name
        SyntaxError = 3075,        // the query text cannot be parsed
        UnsupportedQuery = 3800,   // a stored query this program cannot run
        LinkedTable = 3801,        // a linked table
    };

    DataError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), number_(number), description_(description) {}
    int number() const { return number_; }
    const QString& description() const { return description_; }

private:
    int number_;
    QString description_;
};

} // namespace convodesk::data
