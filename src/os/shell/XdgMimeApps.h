#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace Desktop {

// Where a freedesktop.org desktop keeps its settings and application entries, from the XDG environment
// variables with their standard defaults.
struct XdgDirectories
{
    std::vector<std::filesystem::path> configDirs; // XDG_CONFIG_HOME, then XDG_CONFIG_DIRS
    std::vector<std::filesystem::path> dataDirs;   // XDG_DATA_HOME, then XDG_DATA_DIRS
    std::vector<std::string> desktops;             // XDG_CURRENT_DESKTOP, in lower case

    static XdgDirectories fromEnvironment();
};

// The MIME type of a file by its name; only web pages are known (text/html). Empty for others.
std::string mimeTypeOfFile(const std::filesystem::path& path);

// The desktop entry of the default application for the MIME type, or an empty path when there is none.
// The mimeapps.list files are read in their order of precedence: the desktop's own list before the
// common one, in the config directories and then in the applications folders of the data directories.
// The default is the first installed entry of [Default Applications] in the first list that names one;
// failing that, the first installed entry that a list adds ([Added Associations]) or that declares the
// type itself (MimeType=), unless a list of equal or higher precedence removes it. The desktop's own lists
// name defaults only: their [Added Associations] and [Removed Associations] count for nothing.
std::filesystem::path defaultApplication(const std::string& mimeType, const XdgDirectories& directories);

} // namespace Desktop
