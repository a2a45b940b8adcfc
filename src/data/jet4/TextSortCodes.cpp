#include "TextSortCodes.h"

#include <QByteArrayList>
#include <QFile>

namespace convodesk::jet4 {
namespace {

constexpr char16_t kFirstSurrogate = 0xD800;
constexpr char16_t kFirstLowSurrogate = 0xDC00;
constexpr char16_t kLastSurrogate = 0xDFFF;
constexpr std::uint8_t kSurrogateAccent = 0x3F;

[[noreturn]] void badTable(const char* what, int unit) {
    // The tables are compiled in and checked by the tests: this is a broken build.
    qFatal("Jet 4 sort code table: %s at U+%04X", what, unit);
}

// "4A", "E" (a lost leading 0), "803": the field's bytes, at most `capacity` of them.
template <std::size_t N>
std::uint8_t parseBytes(const QByteArray& field, std::array<std::uint8_t, N>& out, int unit) {
    const QByteArray hex = field.size() % 2 ? QByteArray("0") + field : field;
    const QByteArray bytes = QByteArray::fromHex(hex);
    if (bytes.size() * 2 != hex.size() || static_cast<std::size_t>(bytes.size()) > N)
        badTable("bad code bytes", unit);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bytes[i]);
    return static_cast<std::uint8_t>(bytes.size());
}

TextSortCode parseLine(const QByteArray& line, int unit) {
    if (line.isEmpty())
        badTable("empty line", unit);
    const QByteArrayList fields = line.mid(1).split(',');
    const auto expect = [&](qsizetype count) {
        if (fields.size() != count)
            badTable("wrong field count", unit);
    };
    TextSortCode code;
    switch (line[0]) {
    case 'X':
        return code;
    case 'S':
        expect(1);
        code.kind = TextSortCode::Kind::Simple;
        code.inlineLength = parseBytes(fields[0], code.inlineBytes, unit);
        break;
    case 'I':
        expect(2);
        code.kind = TextSortCode::Kind::Accented;
        code.inlineLength = parseBytes(fields[0], code.inlineBytes, unit);
        code.accentLength = parseBytes(fields[1], code.accent, unit);
        break;
    case 'U':
        expect(1);
        code.kind = TextSortCode::Kind::Unprintable;
        code.unprintableLength = parseBytes(fields[0], code.unprintable, unit);
        break;
    case 'P': {
        expect(1);
        code.kind = TextSortCode::Kind::Modifier;
        std::array<std::uint8_t, 1> modifier{};
        if (parseBytes(fields[0], modifier, unit) != 1)
            badTable("modifier without its byte", unit);
        code.modifier = modifier[0];
        break;
    }
    case 'Z':
        expect(3);
        code.kind = TextSortCode::Kind::Extended;
        code.inlineLength = parseBytes(fields[0], code.inlineBytes, unit);
        code.accentLength = parseBytes(fields[1], code.accent, unit);
        code.flag = fields[2] == "1" ? 2 : 3;
        break;
    default:
        badTable("unknown class", unit);
    }
    if ((code.kind != TextSortCode::Kind::Unprintable && code.kind != TextSortCode::Kind::Modifier &&
         code.inlineLength == 0) ||
        (code.kind == TextSortCode::Kind::Accented && code.accentLength == 0) ||
        (code.kind == TextSortCode::Kind::Unprintable && code.unprintableLength == 0))
        badTable("missing code bytes", unit);
    return code;
}

QByteArrayList tableLines(const char* resource) {
    QFile file(QString::fromLatin1(resource));
    if (!file.open(QIODevice::ReadOnly))
        badTable("table not compiled in", 0);
    QByteArrayList lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Surrogates have no table line: a two-byte inline code computed from the unit, accent 3F.
TextSortCode surrogateCode(char16_t unit) {
    int value = unit;
    if (unit < kFirstLowSurrogate) {
        value -= 10238;
    } else {
        const int k = unit - kFirstLowSurrogate;
        value -= k < 8 ? 9992 : k < 262 ? 9990 : k < 516 ? 9988 : k < 770 ? 9986 : 9984;
    }
    TextSortCode code;
    code.kind = TextSortCode::Kind::Accented;
    code.inlineLength = 2;
    code.inlineBytes = {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value & 0xFF)};
    code.accentLength = 1;
    code.accent = {kSurrogateAccent};
    return code;
}

} // namespace

TextSortCodes::TextSortCodes() {
    const QByteArrayList base = tableLines(":/jet4/sort/index_codes_genleg.txt");
    const QByteArrayList extended = tableLines(":/jet4/sort/index_codes_ext_genleg.txt");
    constexpr int surrogates = kLastSurrogate - kFirstSurrogate + 1;
    if (base.size() != 0x100 || extended.size() != 0x10000 - 0x100 - surrogates)
        badTable("wrong line count", 0);
    qsizetype next = 0;
    for (int unit = 0; unit < 0x10000; ++unit) {
        const auto u = static_cast<char16_t>(unit);
        if (unit < 0x100)
            codes_[u] = parseLine(base[unit], unit);
        else if (u >= kFirstSurrogate && u <= kLastSurrogate)
            codes_[u] = surrogateCode(u);
        else
            codes_[u] = parseLine(extended[next++], unit);
    }
}

const TextSortCodes& TextSortCodes::general() {
    static const TextSortCodes codes;
    return codes;
}

} // namespace convodesk::jet4
