#include "TextSearch.h"

#include <algorithm>

namespace convodesk::data::query {

namespace {

// Beyond this the result grows as it is built (and its allocation fails where it must).
constexpr double kLargestReserved = 1 << 28;

std::vector<char16_t> units(QStringView text) {
    return std::vector<char16_t>(text.utf16(), text.utf16() + text.size());
}

} // namespace

TextSearch::TextSearch(QStringView sought, Qt::CaseSensitivity sensitivity)
    : sensitivity_(sensitivity),
      search_(units(sensitivity == Qt::CaseInsensitive ? QStringView(folded(sought)) : sought)) {}

QString TextSearch::folded(QStringView text) {
    QString out(text.size(), Qt::Uninitialized);
    QChar* o = out.data();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            const char32_t f = QChar::toCaseFolded(QChar::surrogateToUcs4(c, text[i + 1]));
            const bool wide = QChar::requiresSurrogates(f);
            o[i] = wide ? QChar(QChar::highSurrogate(f)) : c;
            o[i + 1] = wide ? QChar(QChar::lowSurrogate(f)) : text[i + 1];
            ++i;
            continue;
        }
        o[i] = c.toCaseFolded();
    }
    return out;
}

qsizetype TextSearch::scan(QStringView prepared, qsizetype from) const {
    if (from >= prepared.size())
        return -1;
    const char16_t* text = prepared.utf16();
    const std::size_t at = search_.find([text](std::size_t i) { return text[i]; },
                                        static_cast<std::size_t>(std::max<qsizetype>(from, 0)),
                                        static_cast<std::size_t>(prepared.size()));
    return at == search_.none ? -1 : static_cast<qsizetype>(at);
}

qsizetype TextSearch::indexIn(QStringView text, qsizetype from) const {
    if (sensitivity_ == Qt::CaseSensitive)
        return scan(text, from);
    return scan(folded(text), from);
}

std::vector<qsizetype> TextSearch::allIn(QStringView text) const {
    const QString prepared = sensitivity_ == Qt::CaseInsensitive ? folded(text) : QString();
    const QStringView view = sensitivity_ == Qt::CaseInsensitive ? QStringView(prepared) : text;
    std::vector<qsizetype> places;
    for (qsizetype at = scan(view, 0); at >= 0; at = scan(view, at + length()))
        places.push_back(at);
    return places;
}

QString TextSearch::replaced(QStringView text, const std::vector<qsizetype>& places, QStringView with) const {
    const double size = static_cast<double>(text.size()) +
                        static_cast<double>(places.size()) * static_cast<double>(with.size() - length());
    QString out;
    if (size < kLargestReserved)
        out.reserve(static_cast<qsizetype>(size));
    qsizetype done = 0;
    for (qsizetype at : places) {
        out += text.mid(done, at - done);
        out += with;
        done = at + length();
    }
    out += text.mid(done);
    return out;
}

} // namespace convodesk::data::query
