#pragma once

#include <QString>

// The application object: the program's title and version, and the folder that holds its executable, where
// the data file, the password check file and the scratch page live.
namespace Application {

QString title();
// The ids of the desktop entries of the program and of its utility (scripts/install.sh installs them), which their
// windows give on Wayland as their app id: a desktop matches a window to its entry by it.
QString desktopEntryId();
QString utilityDesktopEntryId();
// The program's version, that of the build: major, minor and revision numbers joined by dots ("1.0.0").
QString version();
// The folder of the running executable, unless a test or tool has pointed the program elsewhere.
QString path();
void setPath(const QString& folder);
// A file in the program folder, joined with the platform's separator.
QString fileInProgramFolder(const QString& fileName);
// Turns off core dumps of this process (and of the programs it starts, which inherit the limit): a dump would write
// the master password, the data key and the deciphered websites to disk. The keys are left out of dumps anyway.
void turnOffCoreDumps();

} // namespace Application
