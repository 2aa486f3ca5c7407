#include "platform/FolderLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

bool claimFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        return true; // the descriptor stays open: the lock ends with the process, however it ends
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    return !held;
}
