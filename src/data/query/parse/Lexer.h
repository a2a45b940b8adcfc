#pragma once

#include <QString>
#include <vector>

namespace convodesk::data::query {

struct Token {
    enum class Kind { Word, Name, Text, Number, Date, Symbol, End };
    Kind kind = Kind::End;
    QString text;     // Word: as written; Name: inside the brackets; Text: the literal's value
    int position = 0; // 0-based offset in the query text
};

// A failure to read a query or expression text, with the offset where it happened.
struct SyntaxFailure {
    int position = 0;
    QString message;   // e.g. "expected a field name, found 'from'"
    QString construct; // set when the text is valid but uses something we do not run
};

// Splits a query text into tokens. Words are keywords or plain names; "[...]" is a name
// (Name); '...' and "..." are text literals with the quote doubled inside; #...# is a date.
// Throws SyntaxFailure.
std::vector<Token> tokenize(const QString& text);

} // namespace convodesk::data::query
