#pragma once

#include <QString>

namespace convodesk::dbtool {

// Exit codes of convodesk-db.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // could not write, unexpected failure
inline constexpr int kExitBadInput = 2; // bad arguments or bad input data

inline QString toolVersion() {
    return QStringLiteral(CONVODESK_VERSION);
}

} // namespace convodesk::dbtool
