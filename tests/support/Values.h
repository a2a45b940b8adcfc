#pragma once

#include "data/jet4/Value.h"

#include <QString>
#include <cstdint>

namespace convodesk::testing {

// Short makers of the values tests write rows with: t("text"), n(42); t(nullptr) is Null.
inline jet4::Value t(const char* text) {
    return text ? jet4::Value::text(QString::fromUtf8(text)) : jet4::Value::null();
}
inline jet4::Value t(const QString& text) {
    return jet4::Value::text(text);
}
inline jet4::Value n(std::int64_t value) {
    return jet4::Value::integer(value);
}

} // namespace convodesk::testing
