#pragma once

#include <QString>
#include <stdexcept>

namespace convodesk::data {

// A failure raised by the data layer: a number and a description, as the screens show them.
class DataError : public std::runtime_error {
public:
    // Error numbers (stable; shown to the operator with the description).
    enum Number {
        FileNotFound = 3024,      // the data file does not exist
        FileUnreadable = 3051,    // cannot be opened / not a Jet 4 file / encrypted
        DamagedFile = 3343,       // the file's structure is damaged
        ProviderNotFound = 3706,  // the connection text names another provider
        BadConnectionText = 3709, // the connection text cannot be parsed / has no data source
        ConnectionClosed = 3704,  // operation needs an open connection / record set
        NoCurrentRow = 3021,      // EOF reached
        NoSuchSource = 3078,      // no table or query of that name
        NoSuchField = 3265,       // no field of that name
        SyntaxError = 3075,       // the query text cannot be parsed
        UnsupportedQuery = 3800,  // a stored query this program cannot run
        LinkedTable = 3801,       // a linked table
        ParameterMissing = 3061,  // the query needs a value it was not given
        TooComplex = 3360,        // nested too deeply
        UsesItself = 3802,        // a stored query that uses itself
        TypeMismatch = 3464,      // a value of the wrong type in an expression
        DivisionByZero = 11,
        Overflow = 6,               // a result that does not fit its type
        InvalidArgument = 5,        // a function given an argument it cannot take
        NotAggregated = 3122,       // a field neither grouped nor in an aggregate
        UndefinedFunction = 3085,   // no function of that name
        MisplacedAggregate = 3096,  // an aggregate where rows are tested one by one
        SubqueryRows = 3354,        // a subquery used as a value returned more than one row
        CircularAlias = 3103,       // column aliases that stand for one another
        AmbiguousOuterJoins = 3258, // outer joins that form a ring
        ResourceExceeded = 3035,    // a query needs more memory than its budget
        QueryTimeout = -2147217871, // a query ran past its command's timeout (as ADO numbers it)
    };

    DataError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), number_(number), description_(description) {}
    static DataError overflow() { return DataError(Overflow, QStringLiteral("Overflow")); }
    static DataError noSuchField(const QString& field, const QString& source) {
        return DataError(NoSuchField, QStringLiteral("No field named '%1' in '%2'.").arg(field, source));
    }
    int number() const { return number_; }
    const QString& description() const { return description_; }

private:
    int number_;
    QString description_;
};

} // namespace convodesk::data
