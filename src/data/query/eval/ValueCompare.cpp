#include "ValueCompare.h"

#include "TextOrderScope.h"
#include "data/jet4/TextSortKey.h"

#include <cstring>

namespace convodesk::data::query {
namespace {

using jet4::Value;

std::optional<double> numberOf(const Value& v) {
    switch (v.kind()) {
    case Value::Kind::Integer:
        return static_cast<double>(v.asInteger());
    case Value::Kind::Double:
        return v.asDouble();
    case Value::Kind::Single:
        return static_cast<double>(v.asSingle());
    case Value::Kind::Boolean:
        return v.asBoolean() ? -1.0 : 0.0;
    case Value::Kind::Currency:
        return static_cast<double>(v.asCurrency()) / 10000.0;
    case Value::Kind::Decimal: {
        bool ok = false;
        const double d = v.asDecimal().toDouble(&ok);
        return ok ? std::optional<double>(d) : std::nullopt;
    }
    case Value::Kind::Text: {
        bool ok = false;
        const double d = v.asText().trimmed().toDouble(&ok);
        return ok ? std::optional<double>(d) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

int sign(double a, double b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

} // namespace

std::optional<int> compareValues(const Value& a, const Value& b) {
    if (a.isNull() || b.isNull())
        return std::nullopt;
    if (a.kind() == Value::Kind::Text && b.kind() == Value::Kind::Text) {
        const int c = QString::compare(a.asText(), b.asText(), Qt::CaseInsensitive);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (a.kind() == Value::Kind::DateTime || b.kind() == Value::Kind::DateTime) {
        if (a.kind() == b.kind())
            return sign(a.asDateTime(), b.asDateTime());
        return std::nullopt;
    }
    if (a.kind() == Value::Kind::Binary || b.kind() == Value::Kind::Binary) {
        if (a.kind() == b.kind())
            return a.asBinary() < b.asBinary() ? -1 : (b.asBinary() < a.asBinary() ? 1 : 0);
        return std::nullopt;
    }
    const auto x = numberOf(a);
    const auto y = numberOf(b);
    if (!x || !y)
        return std::nullopt;
    return sign(*x, *y);
}

std::optional<int> orderValues(const Value& a, const Value& b) {
    if (a.kind() != Value::Kind::Text || b.kind() != Value::Kind::Text)
        return compareValues(a, b);
    TextOrderScope::checkTextsCanBeOrdered(); // whatever the texts, so the refusal never depends on them
    if (textEqualsIgnoringCase(a.asText(), b.asText()))
        return 0;
    if (const int c = compareTextOrder(a.asText(), b.asText()); c != 0)
        return c < 0 ? -1 : 1;
    // Equal keys of texts that differ (as "Straße" and "Strasse"): still not equal.
    return QString::compare(a.asText(), b.asText(), Qt::CaseInsensitive) < 0 ? -1 : 1;
}

int compareTextOrder(QStringView a, QStringView b) {
    TextOrderScope::checkTextsCanBeOrdered();
    return jet4::TextSortKey::compare(a, b);
}

QByteArray textOrderKey(QStringView text) {
    TextOrderScope::checkTextsCanBeOrdered();
    return jet4::TextSortKey::build(text);
}

bool textEqualsIgnoringCase(QStringView a, QStringView b) {
    if (a.size() == b.size()) {
        const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
        qsizetype i = 0;
        // Equal runs (IDs share their prefix) are passed over four characters at a time.
        for (; i + 4 <= a.size() && std::memcmp(a.data() + i, b.data() + i, 8) == 0; i += 4) {
        }
        for (; i < a.size(); ++i) {
            const char16_t x = a[i].unicode();
            const char16_t y = b[i].unicode();
            if (x == y)
                continue;
            if (x >= 0x80 || y >= 0x80)
                break; // letters outside ASCII (the Kelvin sign folds to 'k'): see below
            if (lower(x) != lower(y))
                return false;
        }
        if (i == a.size())
            return true;
    }
    // The general comparison decides; it stops at the first characters that differ.
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

int compareForOrder(const Value& a, const Value& b) {
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull() ? 0 : (a.isNull() ? -1 : 1);
    if (a.kind() == Value::Kind::Text && b.kind() == Value::Kind::Text) {
        const int c = compareTextOrder(a.asText(), b.asText());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (const auto c = compareValues(a, b))
        return *c;
    return static_cast<int>(a.kind()) < static_cast<int>(b.kind()) ? -1 : 1;
}

QString matchKey(const Value& value) {
    switch (value.kind()) {
    case Value::Kind::Null:
        return {};
    case Value::Kind::Text:
        return QLatin1Char('t') + value.asText().toCaseFolded();
    case Value::Kind::DateTime:
        return QLatin1Char('d') + QString::number(value.asDateTime(), 'g', 17);
    case Value::Kind::Binary:
        return QLatin1Char('b') + QString::fromLatin1(value.asBinary().toHex());
    default:
        return QLatin1Char('n') + QString::number(numberOf(value).value_or(0), 'g', 17);
    }
}

} // namespace convodesk::data::query
