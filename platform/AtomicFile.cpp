#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

bool replaceFileAtomically(const std::string& path, const std::string& bytes, std::string& error)
{
    const std::string temporary = path + ".tmp";
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
    if (written && std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = std::strerror(errno);
        written = false;
    }
    if (!written)
        std::remove(temporary.c_str());
    return written;
}
