#include "os/shell/ProcessTree.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace Desktop {
namespace {

// Bounds the walk up the tree: no real process is nested so deep.
constexpr int MostAncestors = 64;

// The parent of a process, from /proc; 0 when it is gone.
std::uint64_t parentOf(std::uint64_t process)
{
    std::ifstream stat("/proc/" + std::to_string(process) + "/stat");
    std::string line;
    std::getline(stat, line);
    // pid (command) state ppid ...: the command may hold blanks and parentheses, so read after the last ')'.
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos)
        return 0;
    char state = 0;
    unsigned long long parent = 0;
    if (std::sscanf(line.c_str() + close + 1, " %c %llu", &state, &parent) != 2)
        return 0;
    return parent;
}

} // namespace

bool isSameOrDescendant(std::uint64_t process, std::uint64_t ancestor)
{
    for (int depth = 0; process > 1 && depth < MostAncestors; ++depth) {
        if (process == ancestor)
            return true;
        process = parentOf(process);
    }
    return false;
}

} // namespace Desktop
