#include "Functions.h"

#include "data/DataError.h"
#include "data/query/eval/ValueConversion.h"

#include <QHash>
#include <cmath>

namespace convodesk::data::query {

const FunctionInfo* findFunction(const QString& given) {
    static const QHash<QString, const FunctionInfo*> table = [] {
        QHash<QString, const FunctionInfo*> all;
        for (auto family :
             {textFunctions(), conversionFunctions(), mathFunctions(), dateFunctions(), formatFunctions()})
            for (const FunctionInfo& info : family)
                all.insert(QString::fromLatin1(info.name).toLower(), &info);
        return all;
    }();
    QString name = given.toLower();
    if (name.endsWith(QLatin1Char('$')))
        name.chop(1);
    return table.value(name, nullptr);
}

namespace fn {

void invalidArgument(const char* function) {
    throw DataError(
        DataError::InvalidArgument,
        QStringLiteral("Invalid procedure call or argument in %1().").arg(QLatin1String(function)));
}

long long wholeNumber(const jet4::Value& value, const char* function) {
    const double number = convert::roundHalfEven(convert::toNumber(value));
    if (!std::isfinite(number) || std::fabs(number) > 2147483647.0)
        invalidArgument(function);
    return static_cast<long long>(number);
}

} // namespace fn
} // namespace convodesk::data::query
