#include "os/shell/DesktopFile.h"

#include <fstream>
#include <sstream>

namespace Desktop {
namespace {

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string unescaped(const std::string& text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            result += text[i];
            continue;
        }
        switch (text[++i]) {
        case 's':
            result += ' ';
            break;
        case 'n':
            result += '\n';
            break;
        case 't':
            result += '\t';
            break;
        case 'r':
            result += '\r';
            break;
        default: // \\ and, in lists, \;
            result += text[i];
        }
    }
    return result;
}

} // namespace

std::optional<DesktopFile> DesktopFile::read(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return parse(text.str());
}

DesktopFile DesktopFile::parse(const std::string& text)
{
    DesktopFile file;
    std::istringstream lines(text);
    std::string line;
    std::string group;
    while (std::getline(lines, line)) {
        line = trimmed(line);
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            group = line.substr(1, line.size() - 2);
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos || group.empty())
            continue;
        const std::string key = trimmed(line.substr(0, equals));
        if (key.find('[') != std::string::npos)
            continue;
        // The first occurrence of a key counts.
        file.m_groups[group].emplace(key, trimmed(line.substr(equals + 1)));
    }
    return file;
}

std::optional<std::string> DesktopFile::value(const std::string& group, const std::string& key) const
{
    const auto foundGroup = m_groups.find(group);
    if (foundGroup == m_groups.end())
        return std::nullopt;
    const auto foundKey = foundGroup->second.find(key);
    if (foundKey == foundGroup->second.end())
        return std::nullopt;
    return foundKey->second;
}

std::optional<std::string> DesktopFile::stringValue(const std::string& group, const std::string& key) const
{
    const std::optional<std::string> raw = value(group, key);
    if (!raw)
        return std::nullopt;
    return unescaped(*raw);
}

std::vector<std::string> DesktopFile::listValue(const std::string& group, const std::string& key) const
{
    std::vector<std::string> items;
    const std::string raw = value(group, key).value_or(std::string());
    std::string item;
    for (std::size_t i = 0; i <= raw.size(); ++i) {
        if (i < raw.size() && raw[i] == '\\' && i + 1 < raw.size()) {
            item += raw.substr(i, 2);
            ++i;
        } else if (i == raw.size() || raw[i] == ';') {
            if (!trimmed(item).empty())
                items.push_back(unescaped(trimmed(item)));
            item.clear();
        } else {
            item += raw[i];
        }
    }
    return items;
}

bool DesktopFile::booleanValue(const std::string& group, const std::string& key) const
{
    return value(group, key).value_or(std::string()) == "true";
}

} // namespace Desktop
