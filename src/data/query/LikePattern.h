#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace convodesk::data::query {

// A LIKE pattern matched against a whole text, ignoring letter case (Unicode case folding).
// Query texts use '%' (any run) and '_' (one character); stored queries use '*' and '?'.
// Matching runs in time proportional to text length times pattern length.
class LikePattern {
public:
    enum class Wildcards { Ansi, Access };
    LikePattern() = default;
    explicit LikePattern(const QString& pattern, Wildcards wildcards = Wildcards::Ansi);
    bool matches(QStringView text) const;

private:
    // Patterns of one literal with '%' at either end (the search screen's) skip the general match.
    enum class Shape { General, Exact, Prefix, Suffix, Contains, Anything };
    // Contains for a literal of ASCII letters only; nullopt when a non-ASCII character of the
    // text could fold to one of them and the full Unicode search must decide.
    std::optional<bool> containsAscii(QStringView text) const;

    Shape shape_ = Shape::General;
    QString literal_; // case-folded
    bool asciiLiteral_ = false;
    static constexpr char32_t anyRun = 0xFFFFFFFF;
    static constexpr char32_t anyOne = 0xFFFFFFFE;
    std::vector<char32_t> elements_;
};

} // namespace convodesk::data::query
