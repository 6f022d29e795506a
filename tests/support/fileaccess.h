// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TESTS_FILEACCESS_H
#define TESTS_FILEACCESS_H

// Conditions of the file system for tests of saving: a file size limit, the permissions of a
// plain user, a folder that takes no new file.

#include <QFile>
#include <QString>
#include <QtGlobal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// Lowers the file size limit of the process for one scope; writes past it fail with
// EFBIG instead of raising SIGXFSZ, which the program ignores (and so must the test).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        m_applied = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool applied() const { return m_applied; }

private:
    rlimit m_saved{};
    bool m_applied = false;
};

// Root passes every permission check. For one scope the effective user becomes "nobody",
// which root may undo, so that the permission bits count; other users stay as they are.
class WithoutRootPrivileges {
public:
    WithoutRootPrivileges()
    {
        if (geteuid() == 0)
            m_dropped = setegid(nobody) == 0 && seteuid(nobody) == 0;
    }
    ~WithoutRootPrivileges()
    {
        if (m_dropped && (seteuid(0) != 0 || setegid(0) != 0))
            qFatal("cannot become root again");
    }
    WithoutRootPrivileges(const WithoutRootPrivileges &) = delete;
    WithoutRootPrivileges &operator=(const WithoutRootPrivileges &) = delete;
    bool effective() const { return m_dropped || geteuid() != 0; }

    static constexpr uid_t nobody = 65534;

private:
    bool m_dropped = false;
};

// Lets other users into a folder (the temporary ones are their owner's alone).
inline bool openToOthers(const QString &folder)
{
    return QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                             QFileDevice::ExeOther);
}

// A folder in which no plain user may create a file, but files may be written by everyone:
// a save into it has to write the file where it is.
inline bool lockFolder(const QString &folder, const QString &file)
{
    return QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ReadOther | QFileDevice::WriteOther) &&
           QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                             QFileDevice::ReadOther | QFileDevice::ExeOther);
}

inline ino_t inodeOf(const QString &path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

#endif // TESTS_FILEACCESS_H
