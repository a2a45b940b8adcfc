#pragma once

namespace convodesk::app {

// Navigation shared by the menu panel's buttons and the main window's menu entries: each shows
// the one instance of its screen inside the main window (created and loaded on first use,
// brought to the front otherwise) and gives it the focus. Failures leave to the caller.
void ShowHome();
void ShowDatabase();
void ShowSearch();

} // namespace convodesk::app
