// The calculator window's layout: the operation buttons with their captions
// and colours, the keypad grid, the toolbar's order and the geometry. The
// construction of the controls, the menu and the toolbar (CCalculatorDlg's
// Create... and LayOutControls) is defined with them in calculator_layout.cpp;
// commands, keys, enabling and settings stay in calculator_dlg.cpp.
#pragma once

namespace calculator {

// The caption of an operation button ("+" for kOpAdd), or nullptr for an id
// that is no operation button.
const char* ButtonCaption(int id);

} // namespace calculator
