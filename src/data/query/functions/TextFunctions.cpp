// Text functions: Trim, LTrim, RTrim, UCase, LCase, Left, Right, Mid, Len, InStr, Replace,
// Space, StrConv, Chr, Asc, Str.
#include "Functions.h"
#include "data/query/eval/QueryGovernor.h"
#include "data/query/eval/TextSearch.h"
#include "data/query/eval/ValueConversion.h"

namespace convodesk::data::query {
namespace {

using jet4::Value;
using Args = std::vector<Value>;

QString spacesTrimmed(const QString& text, bool left, bool right) {
    int start = 0, end = static_cast<int>(text.size());
    while (left && start < end && text[start] == QLatin1Char(' '))
        ++start;
    while (right && end > start && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(start, end - start);
}

Value trim(const Args& a) {
    return a[0].isNull() ? Value() : Value::text(spacesTrimmed(convert::toText(a[0]), true, true));
}
Value ltrim(const Args& a) {
    return a[0].isNull() ? Value() : Value::text(spacesTrimmed(convert::toText(a[0]), true, false));
}
Value rtrim(const Args& a) {
    return a[0].isNull() ? Value() : Value::text(spacesTrimmed(convert::toText(a[0]), false, true));
}
Value ucase(const Args& a) {
    return a[0].isNull() ? Value() : Value::text(convert::toText(a[0]).toUpper());
}
Value lcase(const Args& a) {
    return a[0].isNull() ? Value() : Value::text(convert::toText(a[0]).toLower());
}

long long length(const Value& v, const char* function) {
    if (v.isNull())
        fn::invalidArgument(function);
    const long long n = fn::wholeNumber(v, function);
    if (n < 0)
        fn::invalidArgument(function);
    return n;
}

Value left(const Args& a) {
    const long long n = length(a[1], "Left");
    return a[0].isNull() ? Value()
                         : Value::text(convert::toText(a[0]).left(static_cast<int>(std::min(n, 1LL << 30))));
}
Value right(const Args& a) {
    const long long n = length(a[1], "Right");
    return a[0].isNull() ? Value()
                         : Value::text(convert::toText(a[0]).right(static_cast<int>(std::min(n, 1LL << 30))));
}
Value mid(const Args& a) {
    const long long start = length(a[1], "Mid");
    if (start < 1)
        fn::invalidArgument("Mid");
    const long long count = a.size() > 2 ? length(a[2], "Mid") : -1;
    if (a[0].isNull())
        return {};
    const QString text = convert::toText(a[0]);
    if (start > text.size())
        return Value::text(QString());
    return Value::text(
        text.mid(static_cast<int>(start - 1), count < 0 ? -1 : static_cast<int>(std::min(count, 1LL << 30))));
}
Value len(const Args& a) {
    return a[0].isNull() ? Value() : Value::integer(convert::toText(a[0]).size());
}

// InStr([start,] text, sought [, compare]): 1-based position, 0 if absent.
Value instr(const Args& a) {
    std::size_t first = 0;
    long long start = 1;
    if (a.size() >= 3) {
        if (a[0].isNull())
            fn::invalidArgument("InStr");
        start = fn::wholeNumber(a[0], "InStr");
        if (start < 1)
            fn::invalidArgument("InStr");
        first = 1;
    }
    const Value& text = a[first];
    const Value& sought = a[first + 1];
    const bool binary = a.size() == 4 && !a[3].isNull() && convert::toNumber(a[3]) == 0;
    if (text.isNull() || sought.isNull())
        return {};
    const QString haystack = convert::toText(text);
    if (start > haystack.size())
        return Value::integer(0);
    const QString needle = convert::toText(sought);
    if (needle.isEmpty())
        return Value::integer(start);
    const TextSearch search(needle, binary ? Qt::CaseSensitive : Qt::CaseInsensitive);
    return Value::integer(search.indexIn(haystack, static_cast<qsizetype>(start - 1)) + 1);
}

Value replace(const Args& a) {
    if (a[0].isNull())
        return {};
    if (a[1].isNull() || a[2].isNull())
        fn::invalidArgument("Replace");
    const QString text = convert::toText(a[0]);
    const QString find = convert::toText(a[1]);
    if (find.isEmpty())
        return Value::text(text);
    const TextSearch search(find, Qt::CaseInsensitive);
    const std::vector<qsizetype> places = search.allIn(text);
    const QString by = convert::toText(a[2]);
    if (by.size() > find.size())
        QueryGovernor::growing(2 * (text.size() + std::int64_t(places.size()) * (by.size() - find.size())));
    return Value::text(search.replaced(text, places, by));
}

Value space(const Args& a) {
    const long long n = length(a[0], "Space");
    if (n > 65535)
        fn::invalidArgument("Space");
    return Value::text(QString(static_cast<int>(n), QLatin1Char(' ')));
}

// StrConv(text, 1 upper | 2 lower | 3 proper case).
Value strconv(const Args& a) {
    const long long how = a[1].isNull() ? -1 : fn::wholeNumber(a[1], "StrConv");
    if (a[0].isNull())
        return {};
    QString text = convert::toText(a[0]);
    switch (how) {
    case 1:
        return Value::text(text.toUpper());
    case 2:
        return Value::text(text.toLower());
    case 3: {
        bool start = true;
        for (QChar& c : text) {
            c = start ? c.toUpper() : c.toLower();
            start = c.isSpace() || c == QLatin1Char('\0');
        }
        return Value::text(text);
    }
    default:
        fn::invalidArgument("StrConv");
    }
}

Value chr(const Args& a) {
    if (a[0].isNull())
        fn::invalidArgument("Chr");
    const long long code = fn::wholeNumber(a[0], "Chr");
    if (code < 0 || code > 65535)
        fn::invalidArgument("Chr");
    if (code < 256)
        return Value::text(QString(QChar::fromLatin1(static_cast<char>(code))));
    return Value::text(QString(QChar(static_cast<char16_t>(code))));
}

Value asc(const Args& a) {
    if (a[0].isNull())
        fn::invalidArgument("Asc");
    const QString text = convert::toText(a[0]);
    if (text.isEmpty())
        fn::invalidArgument("Asc");
    return Value::integer(text[0].unicode());
}

// Str(number): the number with a leading blank for the sign when it is not negative.
Value str(const Args& a) {
    if (a[0].isNull())
        return {};
    const double number = convert::toNumber(a[0]);
    const QString text =
        convert::toText(a[0].kind() == Value::Kind::Text ? convert::numberValue(number) : a[0]);
    return Value::text(number >= 0 ? QLatin1Char(' ') + text : text);
}

const FunctionInfo functions[] = {
    {"Trim", 1, 1, trim},       {"LTrim", 1, 1, ltrim}, {"RTrim", 1, 1, rtrim},     {"UCase", 1, 1, ucase},
    {"LCase", 1, 1, lcase},     {"Left", 2, 2, left},   {"Right", 2, 2, right},     {"Mid", 2, 3, mid},
    {"Len", 1, 1, len},         {"InStr", 2, 4, instr}, {"Replace", 3, 3, replace}, {"Space", 1, 1, space},
    {"StrConv", 2, 2, strconv}, {"Chr", 1, 1, chr},     {"Asc", 1, 1, asc},         {"Str", 1, 1, str},
};

} // namespace

std::span<const FunctionInfo> textFunctions() {
    return functions;
}

} // namespace convodesk::data::query
