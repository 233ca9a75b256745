// The pictures of the program: the ten toolbar images (normal and greyed)
// and the program icon. All are drawn here, so no image files ship with the
// program except the icon's scalable copy for the desktop entry
// (resources/desktop/ordovane.svg, the same design).
#pragma once

#include <QIcon>
#include <QPixmap>

namespace calculator {

// Toolbar images are square, this many pixels wide.
inline constexpr int kToolbarImageSize = 24;
inline constexpr int kToolbarImageCount = 10;

// The command of toolbar image index (0 .. 9, in toolbar order): 32771
// Number Formatter, 32772 Key Container Manager, 32773 random number,
// 32774 random prime, 32806 Bit Shifter, 32780 checksum, 32775 CRC,
// 32776 hash, 32777 Scripting Host, 32808 desktop calculator. 0 when index is
// out of range.
int ToolbarImageCommand(int index);

// The 24x24 image of index, in colour or greyed (the image a disabled button
// shows). A null pixmap when index is out of range.
QPixmap ToolbarPixmap(int index, bool disabled);

// Both images of index as one icon (Normal and Disabled modes set
// explicitly); an empty icon when index is out of range.
QIcon ToolbarIcon(int index);

// The program icon at 16, 32, 48, 64 and 128 pixels.
QIcon ApplicationIcon();

} // namespace calculator
