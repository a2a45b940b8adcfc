#pragma once

#include "KnuthMorrisPratt.h"

#include <QString>
#include <vector>

namespace convodesk::data::query {

// Finds a text in other texts in time linear in their lengths, whatever they hold (Qt's own
// search can take the product of the two lengths on texts such as "aaa…ab"). Ignoring letter
// case folds both sides character by character (Unicode simple case folding), which keeps
// every position where it was.
class TextSearch {
public:
    // The sought text must not be empty.
    TextSearch(QStringView sought, Qt::CaseSensitivity sensitivity);

    // The first place at or after `from`; -1 if none.
    qsizetype indexIn(QStringView text, qsizetype from = 0) const;
    // Every place from the left, each one after the end of the one before.
    std::vector<qsizetype> allIn(QStringView text) const;
    // The text with the sought text at those places (from allIn) replaced, built in one pass.
    QString replaced(QStringView text, const std::vector<qsizetype>& places, QStringView with) const;

    // The text folded for a search that ignores letter case; the same length as the text.
    static QString folded(QStringView text);

private:
    qsizetype scan(QStringView prepared, qsizetype from) const;
    qsizetype length() const { return static_cast<qsizetype>(search_.sought().size()); }

    Qt::CaseSensitivity sensitivity_;
    KnuthMorrisPratt<char16_t> search_; // of the folded text when letter case is ignored
};

} // namespace convodesk::data::query
