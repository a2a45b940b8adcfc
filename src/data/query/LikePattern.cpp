#include "LikePattern.h"

#include <QList>
#include <algorithm>

namespace convodesk::data::query {

LikePattern::LikePattern(const QString& pattern, Wildcards wildcards) {
    const char32_t runChar = wildcards == Wildcards::Ansi ? U'%' : U'*';
    const char32_t oneChar = wildcards == Wildcards::Ansi ? U'_' : U'?';
    const QList<uint> folded = pattern.toCaseFolded().toUcs4();
    std::vector<char32_t> segment;
    bool anyOneSeen = false;
    for (char32_t c : folded) {
        if (c != runChar) {
            anyOneSeen = anyOneSeen || c == oneChar;
            segment.push_back(c == oneChar ? anyOne : c);
            continue;
        }
        if (segments_.empty() && segment.empty())
            leadingRun_ = true;
        if (!segment.empty())
            segments_.push_back(std::move(segment));
        segment.clear();
    }
    trailingRun_ = !folded.isEmpty() && folded.back() == runChar;
    if (!segment.empty())
        segments_.push_back(std::move(segment));
    for (const auto& s : segments_)
        fixedLength_ += s.size();

    if (segments_.empty()) {
        // Only runs: anything; the empty pattern: the empty text only.
        shape_ = leadingRun_ ? Shape::Anything : Shape::Exact;
        return;
    }
    if (segments_.size() > 1 || anyOneSeen)
        return;
    const std::vector<char32_t>& literal = segments_.front();
    literal_ = QString::fromUcs4(literal.data(), static_cast<qsizetype>(literal.size()));
    asciiLiteral_ = std::all_of(literal.begin(), literal.end(), [](char32_t c) { return c < 0x80; });
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
        if (asciiLiteral_)
            if (const auto found = containsAscii(text))
                return *found;
        return text.contains(literal_, Qt::CaseInsensitive);
    case Shape::General:
        break;
    }
    return matchesSegments(text);
}

bool LikePattern::segmentAt(std::size_t s, const char32_t* text) const {
    const std::vector<char32_t>& segment = segments_[s];
    for (std::size_t k = 0; k < segment.size(); ++k)
        if (segment[k] != anyOne && segment[k] != text[k])
            return false;
    return true;
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
        return n == fixedLength_ && segmentAt(0, t);

    std::size_t first = 0;
    std::size_t last = segments_.size();
    std::size_t pos = 0;
    std::size_t end = n;
    if (!leadingRun_) {
        if (!segmentAt(0, t))
            return false;
        pos = segments_[0].size();
        first = 1;
    }
    if (!trailingRun_) {
        const std::size_t length = segments_.back().size();
        if (n - length < pos || !segmentAt(last - 1, t + n - length))
            return false;
        end = n - length;
        --last;
    }
    for (std::size_t s = first; s < last; ++s) {
        const std::size_t length = segments_[s].size();
        std::size_t at = pos;
        while (at + length <= end && !segmentAt(s, t + at))
            ++at;
        if (at + length > end)
            return false;
        pos = at + length;
    }
    return true;
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
