#pragma once

#include "os/shell/Shell.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace Desktop {

// The test backend: answers the look-up with a program set by the test (or none), records every call
// and what the looked-up document held at that moment (read only when it is a regular file, not through a
// link), and installs itself for its lifetime.
class RecordingShell : public Shell
{
public:
    struct Start
    {
        std::string program;
        std::string argument;
        std::uintptr_t ownerWindow;
    };

    RecordingShell() { setShell(this); }
    ~RecordingShell() override { setShell(nullptr); }
    RecordingShell(const RecordingShell&) = delete;
    RecordingShell& operator=(const RecordingShell&) = delete;

    std::optional<std::string> findExecutable(const std::string& documentPath) override
    {
        lookedUp.push_back(documentPath);
        std::error_code error;
        std::ostringstream contents;
        if (std::filesystem::symlink_status(documentPath, error).type() == std::filesystem::file_type::regular) {
            std::ifstream document(documentPath, std::ios::binary);
            contents << document.rdbuf();
        }
        documentContents.push_back(contents.str());
        return associatedProgram;
    }

    std::optional<StartedProgram> startMaximized(const std::string& program, const std::string& argument,
                                                 std::uintptr_t ownerWindow) override
    {
        starts.push_back({program, argument, ownerWindow});
        return startSucceeds ? std::optional(started) : std::nullopt;
    }

    // What the look-up answers, whether a start succeeds and what it says was started.
    std::optional<std::string> associatedProgram = "/usr/bin/browser";
    bool startSucceeds = true;
    StartedProgram started{0, {"browser"}, {}};

    std::vector<std::string> lookedUp;
    std::vector<std::string> documentContents; // empty when the document could not be read
    std::vector<Start> starts;
};

} // namespace Desktop
