#include "resources/string_table.h"

#include <algorithm>
#include <iterator>

namespace resources {
namespace {

struct Entry {
    int id;
    const char* text;
};

// Keep sorted by id: lookups are binary searches (checked at compile time).
constexpr Entry kStrings[] = {
    {2001, "Invalid characters occur in the input text."},
    {2002, "Invalid characters occur in the decimal string."},
    {2003, "Invalid characters occur in the octal string."},
    {2004, "Invalid characters occur in the binary string."},
    {2006, "Fail to allocate memory."},
    {2070, "Invalid hexdecimal data string!"},
};

constexpr bool IdsAscending() {
    return std::adjacent_find(std::begin(kStrings), std::end(kStrings),
                              [](const Entry& a, const Entry& b) { return a.id >= b.id; }) ==
           std::end(kStrings);
}
static_assert(IdsAscending(), "string table ids must be unique and ascending");

} // namespace

const char* LoadStringText(int id) {
    auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                               [](const Entry& e, int key) { return e.id < key; });
    return it != std::end(kStrings) && it->id == id ? it->text : nullptr;
}

} // namespace resources
