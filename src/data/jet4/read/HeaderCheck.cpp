#include "HeaderCheck.h"

#include "data/jet4/Error.h"
#include "data/jet4/Jet4Format.h"
#include "data/jet4/Rc4.h"

#include <cmath>
#include <cstring>

namespace convodesk::jet4 {

namespace {

Error headerError(Error::Kind kind, const PageReader& file, const char* what) {
    return Error(kind, QStringLiteral("%1 %2").arg(file.fileName(), QString::fromLatin1(what)));
}

bool magicIs(const std::uint8_t* page, const char* magic) {
    return std::memcmp(page + format::kHeaderMagicOffset, magic, std::strlen(magic) + 1) == 0;
}

// The RC4-masked part of page 0, unmasked.
class HeaderPlainText {
public:
    explicit HeaderPlainText(const std::uint8_t* page) {
        std::memcpy(plain_, page + format::kHeaderMaskOffset, sizeof plain_);
        Rc4(format::kHeaderRc4Key, sizeof format::kHeaderRc4Key).apply(plain_, sizeof plain_);
    }
    // The byte at `fileOffset` of the page (inside the masked part).
    const std::uint8_t* at(int fileOffset) const { return plain_ + (fileOffset - format::kHeaderMaskOffset); }

private:
    std::uint8_t plain_[format::kHeaderMaskLength];
};

} // namespace

SortOrder readSortOrder(const PageReader& file) {
    const HeaderPlainText plain(file.page(0, QStringLiteral("header")));
    return SortOrder::fromBytes(plain.at(format::kHeaderSortOrderOffset));
}

void checkHeaderPage(const PageReader& file) {
    if (file.size() < format::kPageSize * 3)
        throw headerError(Error::Kind::NotDatabase, file, "is too small to be an Access database.");
    const std::uint8_t* page = file.page(0, QStringLiteral("header"));
    if (magicIs(page, "Standard ACE DB"))
        throw headerError(
            Error::Kind::Accdb, file,
            "is an Access 2007 or later (.accdb) database; only Access 2000-2003 files can be read.");
    if (page[0] != format::PageDatabaseHeader || !magicIs(page, "Standard Jet DB"))
        throw headerError(Error::Kind::NotDatabase, file, "is not an Access database.");
    const std::uint8_t version = page[format::kHeaderVersionOffset];
    if (version == 0)
        throw headerError(Error::Kind::Jet3, file,
                          "is an Access 97 (Jet 3) database; only Access 2000-2003 files can be read.");
    if (version != format::kJetVersion4)
        throw headerError(Error::Kind::Accdb, file,
                          "is an Access 2007 or later database; only Access 2000-2003 files can be read.");

    const HeaderPlainText plain(page);
    const auto at = [&](int fileOffset) { return plain.at(fileOffset); };
    if (readU32(at(format::kHeaderDatabaseKeyOffset)) != 0)
        throw headerError(Error::Kind::Encrypted, file, "is encrypted; encrypted databases cannot be read.");

    double created = 0;
    std::uint64_t bits = readU64(at(format::kHeaderCreationDateOffset));
    std::memcpy(&created, &bits, sizeof created);
    std::uint32_t mask = 0;
    if (std::isfinite(created) && created > -2147483648.0 && created < 2147483647.0)
        mask = static_cast<std::uint32_t>(static_cast<std::int32_t>(std::floor(created)));
    const std::uint8_t* password = at(format::kHeaderPasswordOffset);
    for (int i = 0; i < format::kHeaderPasswordLength; ++i) {
        const std::uint8_t maskByte = static_cast<std::uint8_t>(mask >> (8 * (i % 4)));
        if ((password[i] ^ maskByte) != 0)
            throw headerError(Error::Kind::Encrypted, file,
                              "is protected by a database password; remove the password in Access first.");
    }
}

} // namespace convodesk::jet4
