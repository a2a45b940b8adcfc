#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace convodesk::data::query {

// A condition's "=" finds texts equal ignoring letter case, as Qt folds letters; a text index
// files them by Jet's sort codes. The two agree but for a few letters (the Kelvin sign folds to
// 'k' and the long s to 's', yet each has a code of its own). So an index is asked for every
// spelling whose codes differ: "desk" also as "de\u017Fk", "des\u212A" and so on.
class CaseVariants {
public:
    // The texts whose index entries hold every text equal to `text` ignoring case; `text` itself
    // first. nullopt when there would be more than `limit`, or the text has characters outside
    // the Basic Multilingual Plane (their case pairs have different codes: scan instead).
    static std::optional<QStringList> forSeek(QStringView text, int limit = 16);
};

} // namespace convodesk::data::query
