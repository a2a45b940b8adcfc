#include "ReportListRowNumber.h"

namespace convodesk::ui {

QString rowNumberText(long long number, int digits) {
    return QString::number(number).rightJustified(digits, u'0');
}

} // namespace convodesk::ui
