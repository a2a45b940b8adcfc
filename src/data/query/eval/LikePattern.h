#pragma once

#include "KnuthMorrisPratt.h"
#include "LikeSegment.h"

#include <QString>
#include <optional>
#include <vector>

namespace convodesk::data::query {

// A LIKE pattern matched against a whole text, ignoring letter case (Unicode case folding).
// Query texts use '%' (any run) and '_' (one character); stored queries use '*' and '?'.
// The pattern is split at its runs into segments; each segment is found from where the one
// before it ended (taking the leftmost place is exact for these two wildcards), by a search
// whose cost is about the length of the text it passes over (LikeSegment), so a whole match
// takes about the text's length plus the pattern's. A text shorter than the pattern's fixed
// characters is rejected at once.
class LikePattern {
public:
    enum class Wildcards { Ansi, Access };
    LikePattern() = default;
    explicit LikePattern(const QString& pattern, Wildcards wildcards = Wildcards::Ansi);
    bool matches(QStringView text) const;

private:
    // Patterns of one literal with '%' at either end (the search screen's) skip the general match.
    enum class Shape { General, Exact, Prefix, Suffix, Contains, Anything };
    // Contains for a literal of ASCII characters only; nullopt when a non-ASCII character of
    // the text could fold to one of them and the full Unicode search must decide.
    std::optional<bool> containsAscii(QStringView text) const;
    bool matchesSegments(QStringView text) const;

    Shape shape_ = Shape::General;
    QString literal_;                         // case-folded
    KnuthMorrisPratt<char16_t> asciiLiteral_; // set when the literal is all ASCII
    // The general form: the characters between runs ('_' as LikeSegment::anyOne), case-folded.
    std::vector<LikeSegment> segments_;
    bool leadingRun_ = false;     // the pattern starts with a run
    bool trailingRun_ = false;    // the pattern ends with a run (or is a run only)
    std::size_t fixedLength_ = 0; // characters every matching text has at least
};

} // namespace convodesk::data::query
