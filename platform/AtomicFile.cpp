#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace {

// Writes `bytes` to a new file `temporary` and flushes it to the disk; removes it on failure.
bool writeTemporary(const std::string& temporary, const std::string& bytes, std::string& error)
{
    // A leftover temporary file is never written through: were it a link to the file itself,
    // the rename would put the link in the file's place.
    if (std::remove(temporary.c_str()) != 0 && errno != ENOENT) {
        error = std::strerror(errno);
        return false;
    }
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    bool written = true;
    size_t done = 0;
    while (written && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            written = false;
        else
            done += static_cast<size_t>(n);
    }
    if (written && ::fsync(fd) != 0)
        written = false;
    if (!written)
        error = std::strerror(errno ? errno : EIO);
    if (::close(fd) != 0 && written) {
        error = std::strerror(errno);
        written = false;
    }
    if (!written)
        std::remove(temporary.c_str());
    return written;
}

// Renames without ever replacing a file at `to`: false with errno EEXIST when one is there.
bool renameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the no-replace rename: a second name fails the same way.
    if (::link(from.c_str(), to.c_str()) != 0)
        return false;
    ::unlink(from.c_str());
    return true;
}

std::string freshName(const std::string& base, int number)
{
    if (number == 1)
        return base;
    const std::string::size_type dot = base.rfind('.');
    const std::string::size_type slash = base.rfind('/');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string stem = hasExtension ? base.substr(0, dot) : base;
    const std::string extension = hasExtension ? base.substr(dot) : "";
    return stem + "." + std::to_string(number) + extension;
}

const int kFreshNames = 1000;

} // namespace

bool replaceFileAtomically(const std::string& path, const std::string& bytes, std::string& error)
{
    const std::string temporary = path + ".tmp";
    if (!writeTemporary(temporary, bytes, error))
        return false;
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

std::string writeUnderFreshName(const std::string& base, const std::string& bytes, std::string& error)
{
    const std::string temporary = base + ".tmp";
    if (!writeTemporary(temporary, bytes, error))
        return "";
    const std::string name = moveUnderFreshName(temporary, base, error);
    if (name.empty())
        std::remove(temporary.c_str());
    return name;
}

std::string moveUnderFreshName(const std::string& from, const std::string& base, std::string& error)
{
    for (int number = 1; number <= kFreshNames; ++number) {
        const std::string name = freshName(base, number);
        if (renameNoReplace(from, name))
            return name;
        if (errno != EEXIST) {
            error = std::strerror(errno);
            return "";
        }
    }
    error = "every name for it is taken";
    return "";
}
