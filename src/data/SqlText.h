#pragma once

#include <QString>

namespace convodesk::data {

// A text written as a query literal: in single quotes, with every quote doubled, so that user
// text is always matched literally ("Ma'arof" -> 'Ma''arof').
QString sqlTextLiteral(const QString& text);

} // namespace convodesk::data
