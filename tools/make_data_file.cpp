// Writes a new, empty data file at the path given, unless a file is already there.
//   quillock-make-data-file <path of Quillock.mdb>
//   quillock-make-data-file --help

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
    const QString usage = QStringLiteral("usage: quillock-make-data-file <path of Quillock.mdb>\n"
                                         "Writes a new, empty data file there, unless a file is already there.\n");
    if (argc == 2 && QByteArray(argv[1]) == "--help") {
        QTextStream(stdout) << usage;
        return 0;
    }
    if (argc != 2) {
        err << usage;
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    // An option mistyped, or one this program does not have, is not a file name to write.
    if (path.startsWith(QLatin1Char('-'))) {
        err << "quillock-make-data-file: \"" << path << "\" is no option of this program, nor a data file name "
            << "(a file whose name begins with \"-\" is written as ./" << path << ").\n"
            << usage;
        return 2;
    }
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
