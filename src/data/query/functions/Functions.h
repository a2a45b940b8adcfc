#pragma once

#include "data/jet4/Value.h"

#include <QString>
#include <span>
#include <vector>

namespace convodesk::data::query {

// A built-in function of the expression language. `call` gets between minArguments and
// maxArguments values and throws DataError for an argument it cannot take.
struct FunctionInfo {
    const char* name;
    int minArguments;
    int maxArguments;
    jet4::Value (*call)(const std::vector<jet4::Value>& arguments);
};

// The families, each in its own file.
std::span<const FunctionInfo> textFunctions();
std::span<const FunctionInfo> conversionFunctions();
std::span<const FunctionInfo> mathFunctions();
std::span<const FunctionInfo> dateFunctions();
std::span<const FunctionInfo> formatFunctions();

// The function of that name (letter case ignored, a trailing '$' too); nullptr if none.
// IIf, Switch and the aggregates are not here: the evaluator and grouping handle them.
const FunctionInfo* findFunction(const QString& name);

// Shared by the families.
namespace fn {
[[noreturn]] void invalidArgument(const char* function);
long long wholeNumber(const jet4::Value& value, const char* function); // rounded half to even
} // namespace fn

} // namespace convodesk::data::query
