#pragma once

namespace convodesk::ui {

// Queues one Backspace key press and release for the widget that has the focus now, as if the
// operator typed it; it is processed after the running handler returns. Nothing is queued when
// no widget has the focus.
void postBackspace();

} // namespace convodesk::ui
