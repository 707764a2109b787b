#pragma once

#include <QString>

// Makes a file read-only for this test for the object's lifetime, as a write-protected file or one on read-only
// storage is: its write permissions are taken away, and a test run as root, which may write any file, gives up its
// power to override them in the calling thread (the one the program's data work runs on). Both are given back at
// the end.
class WriteProtection
{
public:
    explicit WriteProtection(const QString& path);
    ~WriteProtection();
    WriteProtection(const WriteProtection&) = delete;
    WriteProtection& operator=(const WriteProtection&) = delete;

private:
    QString m_path;
};
