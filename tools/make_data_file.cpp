// Writes a new, empty data file at the path given, unless a file is already there.

#include "domain/data/DataFileVersions.h"
#include "domain/error/AppError.h"
#include "platform/db/DataFileCreator.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: quillock-make-data-file <path of Quillock.mdb>\n";
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    if (QFileInfo::exists(path))
        return 0; // an existing data file holds the user's websites: never touch it
    try {
        createDatabaseFile(path, currentDataFileStatements());
    } catch (const AppError& error) {
        err << error.description() << '\n';
        return 1;
    }
    QTextStream(stdout) << "Wrote a new data file " << path << '\n';
    return 0;
}
