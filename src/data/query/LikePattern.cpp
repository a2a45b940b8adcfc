#include "LikePattern.h"

#include <QList>
#include <algorithm>

namespace convodesk::data::query {

LikePattern::LikePattern(const QString& pattern, Wildcards wildcards) {
    const char32_t runChar = wildcards == Wildcards::Ansi ? U'%' : U'*';
    const char32_t oneChar = wildcards == Wildcards::Ansi ? U'_' : U'?';
    for (char32_t c : pattern.toCaseFolded().toUcs4()) {
        if (c == runChar) {
            if (elements_.empty() || elements_.back() != anyRun) // "%%" is the same as "%"
                elements_.push_back(anyRun);
        } else {
            elements_.push_back(c == oneChar ? anyOne : c);
        }
    }
    const bool leading = !elements_.empty() && elements_.front() == anyRun;
    const bool trailing = !elements_.empty() && elements_.back() == anyRun;
    const auto first = elements_.begin() + (leading ? 1 : 0);
    const auto last = elements_.end() - (trailing && elements_.size() > 1 ? 1 : 0);
    if (leading && elements_.size() == 1) {
        shape_ = Shape::Anything;
        return;
    }
    if (std::any_of(first, last, [](char32_t e) { return e == anyRun || e == anyOne; }))
        return;
    std::vector<char32_t> literal(first, last);
    literal_ = QString::fromUcs4(literal.data(), static_cast<qsizetype>(literal.size()));
    asciiLiteral_ = std::all_of(literal.begin(), literal.end(), [](char32_t c) { return c < 0x80; });
    shape_ =
        leading ? (trailing ? Shape::Contains : Shape::Suffix) : (trailing ? Shape::Prefix : Shape::Exact);
}

bool LikePattern::matches(QStringView text) const {
    switch (shape_) {
    case Shape::Anything:
        return true;
    case Shape::Exact:
        return text.compare(literal_, Qt::CaseInsensitive) == 0;
    case Shape::Prefix:
        return text.startsWith(literal_, Qt::CaseInsensitive);
    case Shape::Suffix:
        return text.endsWith(literal_, Qt::CaseInsensitive);
    case Shape::Contains:
        if (asciiLiteral_)
            if (const auto found = containsAscii(text))
                return *found;
        return text.contains(literal_, Qt::CaseInsensitive);
    case Shape::General:
        break;
    }
    const std::size_t m = elements_.size();
    // reachable[j]: the text read so far can be matched by the first j pattern elements.
    std::vector<char> reachable(m + 1, 0), next(m + 1, 0);
    auto close = [&](std::vector<char>& states) {
        for (std::size_t j = 0; j < m; ++j)
            if (states[j] && elements_[j] == anyRun)
                states[j + 1] = 1;
    };
    reachable[0] = 1;
    close(reachable);
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < size && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        c = QChar::toCaseFolded(c);
        std::fill(next.begin(), next.end(), 0);
        bool any = false;
        for (std::size_t j = 0; j < m; ++j) {
            if (!reachable[j])
                continue;
            const char32_t e = elements_[j];
            if (e == anyRun) {
                next[j] = 1;
                any = true;
            } else if (e == anyOne || e == c) {
                next[j + 1] = 1;
                any = true;
            }
        }
        if (!any)
            return false;
        close(next);
        reachable.swap(next);
    }
    return reachable[m] != 0;
}

std::optional<bool> LikePattern::containsAscii(QStringView text) const {
    const qsizetype size = text.size();
    const qsizetype length = literal_.size();
    const QChar* t = text.data();
    const QChar* p = literal_.constData();
    auto folded = [](QChar c) { return c >= u'A' && c <= u'Z' ? QChar(c.unicode() + 32) : c; };
    bool plain = true;
    for (qsizetype i = 0; i < size; ++i) {
        if (t[i].unicode() >= 0x80)
            plain = false;
        if (i + length > size)
            continue;
        qsizetype j = 0;
        while (j < length && folded(t[i + j]) == p[j])
            ++j;
        if (j == length)
            return true;
    }
    return plain ? std::optional<bool>(false) : std::nullopt;
}

} // namespace convodesk::data::query
