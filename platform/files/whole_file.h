// Writing a whole file the user chose (exports, digests): created or
// replaced, and never left half-written.
#pragma once

#include "platform/platform_api.h"

#include <string>
#include <string_view>

namespace platform {

// Creates or replaces path and writes content. False when the file cannot be
// created or a write fails part-way; the partial file is then removed (only
// a regular file: a device or pipe named as the target is not ours to delete).
PLATFORM_API bool WriteWholeFile(const std::string& path, std::string_view content);

} // namespace platform
