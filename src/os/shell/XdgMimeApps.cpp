#include "os/shell/XdgMimeApps.h"

#include "os/shell/DesktopFile.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>
#include <set>
#include <sstream>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

namespace Desktop {
namespace {

const std::string EntryGroup = "Desktop Entry";

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::istringstream stream(text);
    std::string part;
    while (std::getline(stream, part, separator)) {
        if (!part.empty())
            parts.push_back(part);
    }
    return parts;
}

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// A home directory from its variable, else from HOME; then the shared ones from theirs, else the defaults.
std::vector<fs::path> searchPath(const char* homeVariable, const std::string& homeDefault, const char* dirsVariable,
                                 const std::string& dirsDefault)
{
    std::vector<fs::path> dirs;
    const std::string home = environment(homeVariable);
    if (!home.empty())
        dirs.emplace_back(home);
    else if (!environment("HOME").empty())
        dirs.push_back(fs::path(environment("HOME")) / homeDefault);
    const std::string shared = environment(dirsVariable);
    for (const std::string& dir : split(shared.empty() ? dirsDefault : shared, ':'))
        dirs.emplace_back(dir);
    return dirs;
}

// A mimeapps.list file as read. A desktop's own list (<desktop>-mimeapps.list) only names defaults: associations
// are added and removed in the common lists alone.
struct MimeappsList
{
    DesktopFile file;
    bool desktopSpecific;
};

// The mimeapps.list files that exist, most important first.
std::vector<MimeappsList> readMimeappsLists(const XdgDirectories& directories)
{
    std::vector<fs::path> folders = directories.configDirs;
    for (const fs::path& dataDir : directories.dataDirs)
        folders.push_back(dataDir / "applications");
    std::vector<MimeappsList> lists;
    const auto read = [&lists](const fs::path& path, bool desktopSpecific) {
        if (std::optional<DesktopFile> list = DesktopFile::read(path))
            lists.push_back({std::move(*list), desktopSpecific});
    };
    for (const fs::path& folder : folders) {
        for (const std::string& desktop : directories.desktops)
            read(folder / (desktop + "-mimeapps.list"), true);
        read(folder / "mimeapps.list", false);
    }
    return lists;
}

bool isExecutableFile(const fs::path& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && access(path.c_str(), X_OK) == 0;
}

bool programExists(const std::string& program)
{
    if (program.find('/') != std::string::npos)
        return isExecutableFile(program);
    for (const std::string& dir : split(environment("PATH"), ':')) {
        if (isExecutableFile(fs::path(dir) / program))
            return true;
    }
    return false;
}

// An entry that can be started: an application that is not hidden, with a command whose TryExec program
// exists.
bool isInstalled(const DesktopFile& entry)
{
    if (entry.value(EntryGroup, "Type").value_or("") != "Application" || entry.booleanValue(EntryGroup, "Hidden"))
        return false;
    if (entry.stringValue(EntryGroup, "Exec").value_or("").empty())
        return false;
    const std::optional<std::string> tryExec = entry.stringValue(EntryGroup, "TryExec");
    return !tryExec || programExists(*tryExec);
}

// The desktop file ID of a file below an applications folder: its relative path with '/' as '-'.
std::string desktopId(const fs::path& applications, const fs::path& file)
{
    std::string id = fs::relative(file, applications).generic_string();
    std::replace(id.begin(), id.end(), '/', '-');
    return id;
}

// The file of an installed desktop entry with the ID, searched in the data directories in order.
fs::path installedEntry(const std::string& id, const XdgDirectories& directories)
{
    // An ID never holds a '/' or a NUL: a name with a '/' ("../x.desktop", "/tmp/x.desktop") would reach files
    // outside the applications folders, and one with a NUL a file other than the path it makes.
    if (id.find_first_of(std::string_view("/\0", 2)) != std::string::npos)
        return {};
    std::error_code error;
    for (const fs::path& dataDir : directories.dataDirs) {
        const fs::path applications = dataDir / "applications";
        fs::path found = applications / id;
        if (!fs::is_regular_file(found, error)) {
            // Entries in subfolders: vendor/browser.desktop has the ID vendor-browser.desktop.
            found.clear();
            for (auto it = fs::recursive_directory_iterator(applications, error);
                 !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
                if (it->is_regular_file(error) && desktopId(applications, it->path()) == id) {
                    found = it->path();
                    break;
                }
            }
        }
        if (found.empty())
            continue;
        const std::optional<DesktopFile> entry = DesktopFile::read(found);
        return entry && isInstalled(*entry) ? found : fs::path();
    }
    return {};
}

// The installed entries that declare the MIME type themselves, folder by folder, each folder's by ID.
std::vector<std::string> declaringEntries(const std::string& mimeType, const XdgDirectories& directories)
{
    std::vector<std::string> ids;
    std::error_code error;
    for (const fs::path& dataDir : directories.dataDirs) {
        const fs::path applications = dataDir / "applications";
        std::vector<std::string> folderIds;
        for (auto it = fs::recursive_directory_iterator(applications, error);
             !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (it->path().extension() != ".desktop")
                continue;
            const std::optional<DesktopFile> entry = DesktopFile::read(it->path());
            const std::vector<std::string> types =
                entry ? entry->listValue(EntryGroup, "MimeType") : std::vector<std::string>();
            if (std::find(types.begin(), types.end(), mimeType) != types.end())
                folderIds.push_back(desktopId(applications, it->path()));
        }
        std::sort(folderIds.begin(), folderIds.end());
        ids.insert(ids.end(), folderIds.begin(), folderIds.end());
    }
    return ids;
}

fs::path firstInstalled(const std::vector<std::string>& ids, const std::set<std::string>& removed,
                        const XdgDirectories& directories)
{
    for (const std::string& id : ids) {
        if (removed.count(id))
            continue;
        const fs::path entry = installedEntry(id, directories);
        if (!entry.empty())
            return entry;
    }
    return {};
}

} // namespace

XdgDirectories XdgDirectories::fromEnvironment()
{
    XdgDirectories directories;
    directories.configDirs = searchPath("XDG_CONFIG_HOME", ".config", "XDG_CONFIG_DIRS", "/etc/xdg");
    directories.dataDirs = searchPath("XDG_DATA_HOME", ".local/share", "XDG_DATA_DIRS", "/usr/local/share:/usr/share");
    for (const std::string& desktop : split(environment("XDG_CURRENT_DESKTOP"), ':'))
        directories.desktops.push_back(lowerCase(desktop));
    return directories;
}

std::string mimeTypeOfFile(const fs::path& path)
{
    const std::string extension = lowerCase(path.extension().string());
    return extension == ".htm" || extension == ".html" ? "text/html" : "";
}

fs::path defaultApplication(const std::string& mimeType, const XdgDirectories& directories)
{
    const std::vector<MimeappsList> lists = readMimeappsLists(directories);
    for (const MimeappsList& list : lists) {
        const fs::path entry = firstInstalled(list.file.listValue("Default Applications", mimeType), {}, directories);
        if (!entry.empty())
            return entry;
    }
    // No default: the associations, those that a list adds before those that entries declare.
    std::set<std::string> removed;
    for (const MimeappsList& list : lists) {
        if (list.desktopSpecific)
            continue;
        for (const std::string& id : list.file.listValue("Removed Associations", mimeType))
            removed.insert(id);
        const fs::path entry =
            firstInstalled(list.file.listValue("Added Associations", mimeType), removed, directories);
        if (!entry.empty())
            return entry;
    }
    return firstInstalled(declaringEntries(mimeType, directories), removed, directories);
}

} // namespace Desktop
