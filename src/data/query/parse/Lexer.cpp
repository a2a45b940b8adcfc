#include "Lexer.h"

namespace convodesk::data::query {
namespace {

// Letters, digits, '_' and '$'; beyond ASCII any character but a space, as Jet takes names
// such as "№соглашения" without brackets.
bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') ||
           (c.unicode() >= 0x80 && !c.isSpace());
}

Token readQuoted(const QString& text, int& i) {
    const QChar quote = text[i];
    Token token{Token::Kind::Text, {}, i};
    ++i;
    while (true) {
        if (i >= text.size())
            throw SyntaxFailure{token.position, QStringLiteral("text literal without its closing quote"), {}};
        if (text[i] == quote) {
            if (i + 1 < text.size() && text[i + 1] == quote) {
                token.text += quote;
                i += 2;
                continue;
            }
            ++i;
            return token;
        }
        token.text += text[i++];
    }
}

// Where the name in brackets opened at `open` ends (its ']'), -1 if it does not. A SELECT in
// brackets ("[SELECT ...]. AS x", a derived table as Access's designer writes it) holds
// brackets and quoted texts of its own.
int closingBracket(const QString& text, int open) {
    int i = open + 1;
    while (i < text.size() && text[i].isSpace())
        ++i;
    if (text.mid(i, 6).compare(QLatin1String("select"), Qt::CaseInsensitive) != 0)
        return static_cast<int>(text.indexOf(QLatin1Char(']'), open + 1));
    int depth = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const int close = static_cast<int>(text.indexOf(c, i + 1));
            if (close < 0)
                return -1;
            i = close;
        } else if (c == QLatin1Char('[')) {
            ++depth;
        } else if (c == QLatin1Char(']') && depth-- == 0) {
            return i;
        }
    }
    return -1;
}

} // namespace

std::vector<Token> tokenize(const QString& text) {
    std::vector<Token> tokens;
    int i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            tokens.push_back(readQuoted(text, i));
        } else if (c == QLatin1Char('[')) {
            const int close = closingBracket(text, i);
            if (close < 0)
                throw SyntaxFailure{i, QStringLiteral("name in brackets without its closing ']'"), {}};
            tokens.push_back({Token::Kind::Name, text.mid(i + 1, close - i - 1), i});
            i = close + 1;
        } else if (c == QLatin1Char('#') && text.indexOf(QLatin1Char('#'), i + 1) > i) {
            const int close = static_cast<int>(text.indexOf(QLatin1Char('#'), i + 1));
            tokens.push_back({Token::Kind::Date, text.mid(i + 1, close - i - 1), i});
            i = close + 1;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < text.size() && text[i + 1].isDigit())) {
            const int start = i;
            while (i < text.size() && (text[i].isDigit() || text[i] == QLatin1Char('.')))
                ++i;
            // An exponent: 1.5E3, 2e-4.
            if (i + 1 < text.size() && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
                int j = i + 1;
                if (j < text.size() && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
                    ++j;
                if (j < text.size() && text[j].isDigit()) {
                    i = j;
                    while (i < text.size() && text[i].isDigit())
                        ++i;
                }
            }
            tokens.push_back({Token::Kind::Number, text.mid(start, i - start), start});
        } else if (isWordChar(c)) {
            const int start = i;
            while (i < text.size() && isWordChar(text[i]))
                ++i;
            tokens.push_back({Token::Kind::Word, text.mid(start, i - start), start});
        } else {
            static const QString twoChar[] = {QStringLiteral("<>"), QStringLiteral("<="),
                                              QStringLiteral(">=")};
            QString symbol(c);
            for (const QString& s : twoChar)
                if (text.mid(i, 2) == s)
                    symbol = s;
            tokens.push_back({Token::Kind::Symbol, symbol, i});
            i += static_cast<int>(symbol.size());
        }
    }
    tokens.push_back({Token::Kind::End, {}, static_cast<int>(text.size())});
    return tokens;
}

} // namespace convodesk::data::query
