#pragma once

#include <cstdint>

namespace Desktop {

// Whether the process is the ancestor itself or one of its descendants, as the system's process table shows them
// now (Linux: /proc). A process whose parent ended has been handed to another and counts as no descendant.
bool isSameOrDescendant(std::uint64_t process, std::uint64_t ancestor);

} // namespace Desktop
