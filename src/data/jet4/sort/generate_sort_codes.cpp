// Turns the General sort order's code tables (README.md) into a C++ source file holding the
// whole table as constant data, so the program parses nothing when it starts:
//   generate_sort_codes BASE_TABLE EXTENDED_TABLE OUTPUT.cpp
// A malformed table stops the build with the line at fault.
#include "data/jet4/TextSortCode.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

using convodesk::jet4::TextSortCode;

namespace {

constexpr int kUnits = 0x10000;
constexpr int kBaseUnits = 0x100;
constexpr char16_t kFirstSurrogate = 0xD800;
constexpr char16_t kFirstLowSurrogate = 0xDC00;
constexpr char16_t kLastSurrogate = 0xDFFF;
constexpr std::uint8_t kSurrogateAccent = 0x3F;

[[noreturn]] void fail(const char* what, int unit) {
    std::fprintf(stderr, "generate_sort_codes: %s at U+%04X\n", what, static_cast<unsigned>(unit));
    std::exit(1);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// "4A", "E" (a lost leading 0), "803": the field's bytes, at most N of them.
template <std::size_t N>
std::uint8_t parseBytes(std::string_view field, std::array<std::uint8_t, N>& out, int unit) {
    const std::size_t digits = field.size();
    const std::size_t count = (digits + 1) / 2;
    if (count > N)
        fail("too many code bytes", unit);
    std::size_t at = 0;
    for (std::size_t i = 0; i < count; ++i) {
        // An odd count lost its leading 0: the first byte has one digit.
        int high = 0;
        if (i > 0 || digits % 2 == 0)
            high = hexDigit(field[at++]);
        const int low = hexDigit(field[at++]);
        if (high < 0 || low < 0)
            fail("bad code bytes", unit);
        out[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return static_cast<std::uint8_t>(count);
}

std::vector<std::string_view> fieldsOf(std::string_view line) {
    std::vector<std::string_view> fields;
    std::string_view rest = line.substr(1);
    for (;;) {
        const std::size_t comma = rest.find(',');
        fields.push_back(rest.substr(0, comma));
        if (comma == std::string_view::npos)
            return fields;
        rest.remove_prefix(comma + 1);
    }
}

TextSortCode parseLine(std::string_view line, int unit) {
    if (line.empty())
        fail("empty line", unit);
    const std::vector<std::string_view> fields = fieldsOf(line);
    const auto expect = [&](std::size_t count) {
        if (fields.size() != count)
            fail("wrong field count", unit);
    };
    using Kind = TextSortCode::Kind;
    TextSortCode code;
    switch (line.front()) {
    case 'X':
        return code;
    case 'S':
        expect(1);
        code.kind = Kind::Simple;
        code.inlineLength = parseBytes(fields[0], code.inlineBytes, unit);
        break;
    case 'I':
        expect(2);
        code.kind = Kind::Accented;
        code.inlineLength = parseBytes(fields[0], code.inlineBytes, unit);
        code.accentLength = parseBytes(fields[1], code.accent, unit);
        break;
    case 'U':
        expect(1);
        code.kind = Kind::Unprintable;
        code.unprintableLength = parseBytes(fields[0], code.unprintable, unit);
        break;
    case 'P': {
        expect(1);
        code.kind = Kind::Modifier;
        std::array<std::uint8_t, 1> modifier{};
        if (parseBytes(fields[0], modifier, unit) != 1)
            fail("modifier without its byte", unit);
        code.modifier = modifier[0];
        break;
    }
    case 'Z':
        expect(3);
        code.kind = Kind::Extended;
        code.inlineLength = parseBytes(fields[0], code.inlineBytes, unit);
        code.accentLength = parseBytes(fields[1], code.accent, unit);
        code.flag = fields[2] == "1" ? 2 : 3;
        break;
    default:
        fail("unknown class", unit);
    }
    if ((code.kind != Kind::Unprintable && code.kind != Kind::Modifier && code.inlineLength == 0) ||
        (code.kind == Kind::Accented && code.accentLength == 0) ||
        (code.kind == Kind::Unprintable && code.unprintableLength == 0))
        fail("missing code bytes", unit);
    return code;
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

std::vector<std::string> linesOf(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "generate_sort_codes: cannot read %s\n", path);
        std::exit(1);
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

const char* kindName(TextSortCode::Kind kind) {
    switch (kind) {
    case TextSortCode::Kind::Ignored:
        return "Ignored";
    case TextSortCode::Kind::Simple:
        return "Simple";
    case TextSortCode::Kind::Accented:
        return "Accented";
    case TextSortCode::Kind::Unprintable:
        return "Unprintable";
    case TextSortCode::Kind::Modifier:
        return "Modifier";
    case TextSortCode::Kind::Extended:
        return "Extended";
    }
    return "Ignored";
}

template <std::size_t N> void writeBytes(std::ostream& out, const std::array<std::uint8_t, N>& bytes) {
    out << "{{";
    for (std::size_t i = 0; i < N; ++i)
        out << (i ? "," : "") << static_cast<int>(bytes[i]);
    out << "}}";
}

void writeCode(std::ostream& out, const TextSortCode& code) {
    if (code.kind == TextSortCode::Kind::Ignored) {
        out << "{},\n";
        return;
    }
    out << "{K::" << kindName(code.kind) << ',' << static_cast<int>(code.inlineLength) << ','
        << static_cast<int>(code.accentLength) << ',' << static_cast<int>(code.unprintableLength) << ',';
    writeBytes(out, code.inlineBytes);
    out << ',';
    writeBytes(out, code.accent);
    out << ',';
    writeBytes(out, code.unprintable);
    out << ',' << static_cast<int>(code.modifier) << ',' << static_cast<int>(code.flag) << "},\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: generate_sort_codes BASE_TABLE EXTENDED_TABLE OUTPUT.cpp\n");
        return 2;
    }
    const std::vector<std::string> base = linesOf(argv[1]);
    const std::vector<std::string> extended = linesOf(argv[2]);
    constexpr int surrogates = kLastSurrogate - kFirstSurrogate + 1;
    if (base.size() != kBaseUnits || extended.size() != kUnits - kBaseUnits - surrogates)
        fail("wrong line count", 0);

    std::ostringstream out;
    out << "// Written by generate_sort_codes from index_codes_genleg.txt and index_codes_ext_genleg.txt;\n"
           "// do not edit.\n"
           "#include \"data/jet4/TextSortCodes.h\"\n\n"
           "namespace convodesk::jet4 {\n\n"
           "using K = TextSortCode::Kind;\n"
           "extern const TextSortCodes::Table kGeneralSortCodes;\n"
           "const TextSortCodes::Table kGeneralSortCodes = {{\n";
    std::size_t next = 0;
    for (int unit = 0; unit < kUnits; ++unit) {
        const auto u = static_cast<char16_t>(unit);
        if (unit < kBaseUnits)
            writeCode(out, parseLine(base[static_cast<std::size_t>(unit)], unit));
        else if (u >= kFirstSurrogate && u <= kLastSurrogate)
            writeCode(out, surrogateCode(u));
        else
            writeCode(out, parseLine(extended[next++], unit));
    }
    out << "}};\n\n} // namespace convodesk::jet4\n";

    std::ofstream file(argv[3], std::ios::binary | std::ios::trunc);
    file << out.str();
    if (!file.flush()) {
        std::fprintf(stderr, "generate_sort_codes: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
