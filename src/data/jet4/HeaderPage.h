#pragma once

#include <QByteArray>

namespace convodesk::jet4 {

// Page 0 of a new, unencrypted Jet 4 file without a password.
class HeaderPage {
public:
    // creationDays: Jet Date/Time of the creation (days since 1899-12-30).
    static QByteArray build(double creationDays);
};

} // namespace convodesk::jet4
