#include "RepeatedTextSharer.h"

namespace convodesk::data::query {

jet4::Value RepeatedTextSharer::read(RowSource& rows, int column) {
    jet4::Value& previous = previous_[static_cast<std::size_t>(column)];
    const bool previousIsText = previous.kind() == jet4::Value::Kind::Text;
    // A stored table shows the text without building a string, so a repeat costs no allocation.
    QStringView view;
    if (rows.textView(column, view) == TextRead::Text && !view.isEmpty()) {
        if (!previousIsText || previous.asText() != view)
            previous = jet4::Value::text(view.toString());
        return previous;
    }
    jet4::Value value = rows.value(column);
    if (value.kind() != jet4::Value::Kind::Text)
        return value;
    if (previousIsText && previous.asText() == value.asText())
        return previous;
    previous = value;
    return value;
}

} // namespace convodesk::data::query
