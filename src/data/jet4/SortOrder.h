#pragma once

#include <QString>
#include <cstdint>

namespace convodesk::jet4 {

// The sort order a file (header) or a text column names: a Windows locale id and a version
// byte. Texts are ordered, and text index keys built, by General (legacy) only, the order
// Access 2000-2003 gives new files.
struct SortOrder {
    static constexpr std::uint16_t kGeneralLcid = 0x0409;

    std::uint16_t lcid = kGeneralLcid;
    std::uint8_t version = 0;

    // The four stored bytes: [uint16 LCID][0][version].
    static SortOrder fromBytes(const std::uint8_t* bytes);
    // General legacy; an LCID of 0 means "unset", which Jet 4 reads as the same.
    bool isGeneral() const { return (lcid == kGeneralLcid || lcid == 0) && version == 0; }
    // "General", or the locale id and version in words, for messages.
    QString describe() const;
};

} // namespace convodesk::jet4
