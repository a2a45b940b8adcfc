#include "CaseVariants.h"

#include "data/jet4/TextSortKey.h"

#include <QHash>
#include <QList>
#include <array>

namespace convodesk::data::query {
namespace {

// The sort codes a single character puts before the end of a key's letters (empty for
// characters that are ignored or count only as punctuation).
QByteArray letterCodes(char16_t c) {
    const QByteArray key = jet4::TextSortKey::build(QStringView(&c, 1));
    const qsizetype end = key.indexOf('\x01', 1);
    return key.mid(1, end < 0 ? 0 : end - 1);
}

// For each BMP code unit whose case-fold class holds characters of different letter codes:
// one character of each code in the class, other than its own code's. Built once.
class FoldClasses {
public:
    FoldClasses() {
        QHash<char16_t, QList<char16_t>> classes;
        for (std::uint32_t u = 0; u <= 0xFFFF; ++u) {
            if (u >= 0xD800 && u <= 0xDFFF)
                continue;
            const auto c = static_cast<char16_t>(u);
            const char16_t folded = QChar(c).toCaseFolded().unicode();
            if (folded == c)
                continue; // a character only its own case pairs fold to is added with them
            QList<char16_t>& members = classes[folded];
            if (members.isEmpty())
                members.push_back(folded);
            members.push_back(c);
        }
        for (const QList<char16_t>& members : std::as_const(classes)) {
            if (members.size() < 2)
                continue;
            QList<QByteArray> codes;
            for (char16_t member : members)
                codes.push_back(letterCodes(member));
            for (qsizetype i = 0; i < members.size(); ++i) {
                QList<QByteArray> seen{codes[i]};
                for (qsizetype j = 0; j < members.size(); ++j) {
                    if (seen.contains(codes[j]))
                        continue;
                    seen.push_back(codes[j]);
                    others_[members[i]].push_back(members[j]);
                }
            }
        }
    }
    const QList<char16_t>* others(char16_t c) const {
        const auto found = others_.constFind(c);
        return found == others_.constEnd() ? nullptr : &*found;
    }

private:
    QHash<char16_t, QList<char16_t>> others_;
};

const FoldClasses& foldClasses() {
    static const FoldClasses classes;
    return classes;
}

} // namespace

std::optional<QStringList> CaseVariants::forSeek(QStringView text, int limit) {
    QStringList variants{text.toString()};
    const FoldClasses& classes = foldClasses();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isSurrogate(c))
            return std::nullopt;
        const QList<char16_t>* others = classes.others(c);
        if (!others)
            continue;
        const qsizetype before = variants.size();
        if (before * (others->size() + 1) > limit)
            return std::nullopt;
        for (char16_t other : *others)
            for (qsizetype v = 0; v < before; ++v) {
                QString variant = variants[v];
                variant[i] = QChar(other);
                variants.push_back(variant);
            }
    }
    return variants;
}

} // namespace convodesk::data::query
