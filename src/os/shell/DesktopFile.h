#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace Desktop {

// A file in the freedesktop.org key file format (desktop entries, mimeapps.list): [Group] headers,
// Key=Value lines, # comments. Localised keys (Name[de]) are skipped: nothing here needs them.
class DesktopFile
{
public:
    // Nothing when the file cannot be read.
    static std::optional<DesktopFile> read(const std::filesystem::path& path);
    static DesktopFile parse(const std::string& text);

    // The value as written, or nothing when the group or key is missing.
    std::optional<std::string> value(const std::string& group, const std::string& key) const;
    // A string value with its escapes (\s \n \t \r \\) resolved.
    std::optional<std::string> stringValue(const std::string& group, const std::string& key) const;
    // A list value: the items between semicolons, empty items left out.
    std::vector<std::string> listValue(const std::string& group, const std::string& key) const;
    bool booleanValue(const std::string& group, const std::string& key) const;

private:
    std::map<std::string, std::map<std::string, std::string>> m_groups;
};

} // namespace Desktop
