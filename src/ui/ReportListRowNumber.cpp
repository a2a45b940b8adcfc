#include "ReportListRowNumber.h"

#include <algorithm>
#include <charconv>

namespace convodesk::ui {

QString rowNumberText(long long number, int digits) {
    QString text;
    writeRowNumberText(text, number, digits);
    return text;
}

void writeRowNumberText(QString& text, long long number, int digits) {
    char written[24];
    const char* end = std::to_chars(written, written + sizeof written, number).ptr;
    const auto length = static_cast<qsizetype>(end - written);
    const qsizetype zeros = std::max<qsizetype>(0, digits - length);
    text.resize(zeros + length);
    QChar* out = text.data();
    out = std::fill_n(out, zeros, QChar(u'0'));
    std::transform(static_cast<const char*>(written), end, out, [](char c) { return QLatin1Char(c); });
}

} // namespace convodesk::ui
