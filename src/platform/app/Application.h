#pragma once

#include <QString>

// The application object: the program's title and version, and the folder that holds its executable, where
// the data file, the password check file and the scratch page live.
namespace Application {

QString title();
// The program's version numbers, those of the build.
int versionMajor();
int versionMinor();
int versionRevision();
// The folder of the running executable, unless a test or tool has pointed the program elsewhere.
QString path();
void setPath(const QString& folder);
// A file in the program folder, joined with the platform's separator.
QString fileInProgramFolder(const QString& fileName);

} // namespace Application
