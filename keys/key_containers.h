// What the Key Container Manager does without a window: the list of known
// containers and the current one in the "Container Info" settings (value
// names Item0..Item9, Itema, ...), the existence test, Create and Delete with
// their messages, and the list edits that follow them. The CLI's keys
// command runs the same Create and Delete.
#pragma once

#include "keys/profile_settings.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace keys {

// The container of the first run, and the name the manager starts with
// when the settings have no "Current".
inline constexpr char kDefaultContainer[] = "Default Container";
inline constexpr char kSectionContainerInfo[] = "Container Info";
inline constexpr char kCurrent[] = "Current";

// "Item" and the position in lower-case hex without leading zeros:
// ItemValueName(10) == "Itema".
std::string ItemValueName(size_t position);

struct ContainerInfo {
    std::string current = kDefaultContainer; // "Current" when it is a string
    std::vector<std::string> items;          // Item0, Item1, ... up to the first gap
};

// Reads "Container Info": "Current" when present as a string, then the item
// values in order until the first one that is missing or not a string.
ContainerInfo ReadContainerInfo(ProfileSettings& settings);

// Finish: deletes "Container Info" and writes it anew: each non-empty entry
// of items at its position i as ItemValueName(i), then "Current" = current
// when current is not empty. False when a write failed.
bool WriteContainerInfo(ProfileSettings& settings, const std::vector<std::string>& items,
                        const std::string& current);

// True when name is not empty and the container opens with flags 0 (the
// handle is released at once).
bool ContainerExists(const std::string& name);

enum class ContainerOutcome {
    Created,        // a new container, both pairs generated
    AlreadyCreated, // it existed; missing pairs were generated
    Deleted,
    Failed, // message is the provider's error text
};

struct ContainerResult {
    ContainerOutcome outcome = ContainerOutcome::Failed;
    std::string message; // the text to show, with the name in place
    uint32_t error = 0;  // the provider's last error when Failed
    bool ok() const { return outcome != ContainerOutcome::Failed; }
};

// Create: opens name, or creates it; then generates each missing key pair
// (signature first, then exchange) exportable at the provider's default
// length. Message "The key container "%s" had already been created." or
// "... has been created."; a failure to open or create gives the error text
// (for a damaged container the damage, not that it exists).
// A failure while completing the pairs gives the error text too (the
// container stays).
ContainerResult CreateKeyContainer(const std::string& name);

// Delete: "The key container "%s" has been deleted.", or the error text.
ContainerResult DeleteKeyContainer(const std::string& name);

// The question asked before Delete.
std::string DeleteQuestion(const std::string& name);

// The position of the first entry equal to name without regard to ASCII
// case; nullopt when there is none. FindInList({"a", "B"}, "b") == 1.
std::optional<size_t> FindInList(const std::vector<std::string>& list, const std::string& name);

// Puts name at the top of list unless it is there already (compared without
// regard to ASCII case). True when it was added.
bool AddToList(std::vector<std::string>& list, const std::string& name);

// Removes the first entry equal to name without regard to ASCII case. True
// when one was removed.
bool RemoveFromList(std::vector<std::string>& list, const std::string& name);

} // namespace keys
