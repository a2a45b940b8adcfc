#include "TextSortCodes.h"

#include <QResource>
#include <cstring>
#include <vector>

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

// A run of a table's text, read in place: the tables are parsed at every start, so no part of
// them is copied.
struct Span {
    const char* begin = nullptr;
    const char* end = nullptr;
    qsizetype size() const { return end - begin; }
};

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// "4A", "E" (a lost leading 0), "803": the field's bytes, at most `capacity` of them.
template <std::size_t N> std::uint8_t parseBytes(Span field, std::array<std::uint8_t, N>& out, int unit) {
    const qsizetype digits = field.size();
    const auto count = static_cast<std::size_t>((digits + 1) / 2);
    if (count > N)
        badTable("bad code bytes", unit);
    // An odd count lost its leading 0: the first byte has one digit.
    const char* at = field.begin;
    for (std::size_t i = 0; i < count; ++i) {
        int high = 0;
        if (i > 0 || digits % 2 == 0)
            high = hexDigit(*at++);
        const int low = hexDigit(*at++);
        if (high < 0 || low < 0)
            badTable("bad code bytes", unit);
        out[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return static_cast<std::uint8_t>(count);
}

TextSortCode parseLine(Span line, int unit) {
    if (line.size() == 0)
        badTable("empty line", unit);
    std::array<Span, 4> fields;
    std::size_t fieldCount = 0;
    const char* fieldStart = line.begin + 1;
    for (const char* at = fieldStart;; ++at) {
        if (at == line.end || *at == ',') {
            if (fieldCount == fields.size())
                badTable("wrong field count", unit);
            fields[fieldCount++] = {fieldStart, at};
            if (at == line.end)
                break;
            fieldStart = at + 1;
        }
    }
    const auto expect = [&](std::size_t count) {
        if (fieldCount != count)
            badTable("wrong field count", unit);
    };
    TextSortCode code;
    switch (*line.begin) {
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
        code.flag = fields[2].size() == 1 && *fields[2].begin == '1' ? 2 : 3;
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

// A compiled-in table's lines, in place.
class TableLines {
public:
    explicit TableLines(const char* resource) {
        const QResource file(QString::fromLatin1(resource));
        if (!file.isValid())
            badTable("table not compiled in", 0);
        text_ = file.uncompressedData();
        const char* at = text_.constData();
        const char* const end = at + text_.size();
        while (at < end) {
            const char* lineEnd =
                static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
            if (!lineEnd)
                lineEnd = end;
            lines_.push_back({at, lineEnd});
            at = lineEnd + 1;
        }
    }
    qsizetype size() const { return static_cast<qsizetype>(lines_.size()); }
    Span operator[](qsizetype i) const { return lines_[static_cast<std::size_t>(i)]; }

private:
    QByteArray text_;
    std::vector<Span> lines_;
};

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
    const TableLines base(":/jet4/sort/index_codes_genleg.txt");
    const TableLines extended(":/jet4/sort/index_codes_ext_genleg.txt");
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
