#pragma once

#include <QRandomGenerator>
#include <QString>

namespace convodesk::testing {

// A text of up to maxLength characters drawn from the alphabet.
inline QString randomText(QRandomGenerator& random, const QString& alphabet, int maxLength) {
    QString text;
    const int length = static_cast<int>(random.bounded(maxLength + 1));
    for (int i = 0; i < length; ++i)
        text += alphabet[static_cast<int>(random.bounded(alphabet.size()))];
    return text;
}

} // namespace convodesk::testing
