#pragma once

namespace convodesk::ui {

// Shows the busy mouse pointer over the program while it lives (a list filling, a lookup):
// the pointer changes at once, no window events are processed for it.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace convodesk::ui
