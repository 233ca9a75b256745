// String-table texts as Qt strings, for the windows.
#pragma once

#include <QString>

namespace platform {

// The text of string id, or an empty string when the table has none.
QString StringText(int id);

} // namespace platform
