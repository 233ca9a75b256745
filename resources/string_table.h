// The program's string table: user message texts by numeric id.
#pragma once

namespace resources {

// The text of string id, or nullptr when the table has no such entry.
const char* LoadStringText(int id);

} // namespace resources
