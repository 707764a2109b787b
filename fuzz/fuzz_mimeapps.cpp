// A mimeapps.list of any content, in a desktop set up in a private temporary folder, asked for the browser of
// web pages. Property: the answer is nothing or one of the installed entries of the applications folders;
// never an entry that is hidden, not an application, lacks its program, or lies outside those folders.
#include "FuzzCheck.h"

#include "os/shell/XdgMimeApps.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

namespace {

struct FakeDesktop
{
    fs::path root;
    Desktop::XdgDirectories directories;
    std::set<fs::path> installed;
    fs::path mimeappsList;

    FakeDesktop()
    {
        std::string folder = (fs::temp_directory_path() / "quillock-fuzz-mimeapps-XXXXXX").string();
        fuzzCheck(::mkdtemp(folder.data()) != nullptr, "the temporary folder can be made");
        root = folder;
        directories.configDirs = {root / "config"};
        directories.dataDirs = {root / "data", root / "moredata"};
        directories.desktops = {"gnome"};
        mimeappsList = root / "config" / "mimeapps.list";

        const std::string application = "[Desktop Entry]\nType=Application\nName=Browser\n";
        installed = {
            write("data/applications/browser.desktop", application + "Exec=browser %u\nMimeType=text/html;\n"),
            write("data/applications/vendor/viewer.desktop", application + "Exec=viewer %f\n"),
            write("moredata/applications/second.desktop", application + "Exec=second\nMimeType=text/html\n"),
        };
        write("data/applications/hidden.desktop", application + "Exec=hidden\nHidden=true\nMimeType=text/html;\n");
        write("data/applications/link.desktop", "[Desktop Entry]\nType=Link\nURL=https://example.com/\n");
        write("data/applications/gone.desktop", application + "Exec=gone\nTryExec=/nonexistent/gone\n");
        write("data/applications/noexec.desktop", application + "MimeType=text/html;\n");
        write("data/outside.desktop", application + "Exec=outside %u\n");
        write("config/outside.desktop", application + "Exec=outside %u\n");
    }

    ~FakeDesktop()
    {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    fs::path write(const std::string& relative, const std::string& text) const
    {
        const fs::path path = root / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
        return path;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const FakeDesktop desktop;
    std::ofstream(desktop.mimeappsList, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    const fs::path browser = Desktop::defaultApplication("text/html", desktop.directories);
    fuzzCheck(browser.empty() || desktop.installed.count(browser.lexically_normal()) == 1,
              "the browser is nothing or an installed entry of an applications folder");
    return 0;
}
