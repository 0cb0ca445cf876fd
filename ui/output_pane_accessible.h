// What assistive technology learns of the output pane: a read-only,
// multi-line text with a caret, a selection and character offsets, as a
// read-only text box gives.
#pragma once

namespace mirotabe {

// Makes QAccessible describe every OutputPane through its text interface.
// Safe to call more than once.
void InstallOutputPaneAccessibility();

}  // namespace mirotabe
