#include "LikePattern.h"

#include <QList>
#include <algorithm>

namespace convodesk::data::query {

LikePattern::LikePattern(const QString& pattern, Wildcards wildcards) {
    const char32_t runChar = wildcards == Wildcards::Ansi ? U'%' : U'*';
    const char32_t oneChar = wildcards == Wildcards::Ansi ? U'_' : U'?';
    const QList<uint> folded = pattern.toCaseFolded().toUcs4();
    std::vector<char32_t> segment;
    for (char32_t c : folded) {
        if (c != runChar) {
            segment.push_back(c == oneChar ? LikeSegment::anyOne : c);
            continue;
        }
        if (segments_.empty() && segment.empty())
            leadingRun_ = true;
        if (!segment.empty())
            segments_.emplace_back(std::move(segment));
        segment.clear();
    }
    trailingRun_ = !folded.isEmpty() && folded.back() == runChar;
    if (!segment.empty())
        segments_.emplace_back(std::move(segment));
    for (const auto& s : segments_)
        fixedLength_ += s.size();

    if (segments_.empty()) {
        // Only runs: anything; the empty pattern: the empty text only.
        shape_ = leadingRun_ ? Shape::Anything : Shape::Exact;
        return;
    }
    if (segments_.size() > 1 || segments_.front().hasWildcards())
        return;
    const std::vector<char32_t>& literal = segments_.front().characters();
    literal_ = QString::fromUcs4(literal.data(), static_cast<qsizetype>(literal.size()));
    if (std::all_of(literal.begin(), literal.end(), [](char32_t c) { return c < 0x80; }))
        asciiLiteral_ = KnuthMorrisPratt<char16_t>(std::vector<char16_t>(literal.begin(), literal.end()));
    shape_ = leadingRun_ ? (trailingRun_ ? Shape::Contains : Shape::Suffix)
                         : (trailingRun_ ? Shape::Prefix : Shape::Exact);
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
        if (!asciiLiteral_.sought().empty())
            if (const auto found = containsAscii(text))
                return *found;
        break; // Qt's contains() can take text length times literal length
    case Shape::General:
        break;
    }
    return matchesSegments(text);
}

bool LikePattern::matchesSegments(QStringView text) const {
    // A text has at least as many UTF-16 units as characters.
    if (fixedLength_ > static_cast<std::size_t>(text.size()))
        return false;
    thread_local std::vector<char32_t> folded;
    folded.clear();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < size && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        folded.push_back(QChar::toCaseFolded(c));
    }
    const std::size_t n = folded.size();
    if (fixedLength_ > n)
        return false;
    const char32_t* t = folded.data();
    if (!leadingRun_ && !trailingRun_ && segments_.size() == 1)
        return n == fixedLength_ && segments_[0].standsAt(t);

    std::size_t first = 0;
    std::size_t last = segments_.size();
    std::size_t pos = 0;
    std::size_t end = n;
    if (!leadingRun_) {
        if (!segments_[0].standsAt(t))
            return false;
        pos = segments_[0].size();
        first = 1;
    }
    if (!trailingRun_) {
        const std::size_t length = segments_.back().size();
        if (n - length < pos || !segments_[last - 1].standsAt(t + n - length))
            return false;
        end = n - length;
        --last;
    }
    for (std::size_t s = first; s < last; ++s) {
        const std::size_t at = segments_[s].find(t, pos, end);
        if (at == LikeSegment::none)
            return false;
        pos = at + segments_[s].size();
    }
    return true;
}

std::optional<bool> LikePattern::containsAscii(QStringView text) const {
    const char16_t* t = text.utf16();
    bool plain = true;
    const auto folded = [t, &plain](std::size_t i) {
        const char16_t c = t[i];
        plain = plain && c < 0x80;
        return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
    };
    if (asciiLiteral_.find(folded, 0, static_cast<std::size_t>(text.size())) != asciiLiteral_.none)
        return true;
    return plain ? std::optional<bool>(false) : std::nullopt;
}

} // namespace convodesk::data::query
