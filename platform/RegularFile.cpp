#include "platform/RegularFile.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

SFileOpen failed(EFileOpen result, const std::string& problem)
{
    SFileOpen file;
    file.result = result;
    file.problem = problem;
    return file;
}

// A link is followed to a file or to nothing; one that ends at a device or a pipe is not, so that
// a write replaces the link, never the device.
bool endsAtAFile(const std::string& path, const std::string& end)
{
    struct stat info;
    return end == path || ::stat(end.c_str(), &info) != 0 || S_ISREG(info.st_mode);
}

} // namespace

SFileOpen openRegularFile(const std::string& path, std::size_t limit)
{
    // Without O_NONBLOCK, opening a named pipe waits for a writer that never comes.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        return failed(error == ENOENT || error == ENOTDIR ? EFileOpen::Missing : EFileOpen::Refused,
                      std::strerror(error));
    }
    struct stat info;
    std::string problem;
    if (::fstat(fd, &info) != 0)
        problem = std::strerror(errno);
    else if (S_ISDIR(info.st_mode))
        problem = "a folder, not a file";
    else if (!S_ISREG(info.st_mode))
        problem = "not a regular file";
    else if (static_cast<unsigned long long>(info.st_size) > limit)
        problem = "larger than " + std::to_string(limit) + " bytes, too large for its kind";
    else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        problem = std::strerror(errno);
    if (!problem.empty()) {
        ::close(fd);
        return failed(EFileOpen::Refused, problem);
    }
    SFileOpen file;
    file.result = EFileOpen::Opened;
    file.fd = fd;
    return file;
}

SFileOpen readRegularFile(const std::string& path, std::size_t limit, std::string& bytes)
{
    bytes.clear();
    SFileOpen file = openRegularFile(path, limit);
    if (file.result != EFileOpen::Opened)
        return file;
    // The file may grow after the size was asked: one byte past the limit tells.
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(file.fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            file.problem = std::strerror(errno);
            break;
        }
        if (n == 0)
            break;
        bytes.append(chunk, static_cast<size_t>(n));
        if (bytes.size() > limit) {
            file.problem = "larger than " + std::to_string(limit) + " bytes, too large for its kind";
            break;
        }
    }
    ::close(file.fd);
    file.fd = -1;
    if (!file.problem.empty()) {
        bytes.clear();
        file.result = EFileOpen::Refused;
    }
    return file;
}

std::string followLinks(const std::string& path)
{
    std::string at = path;
    // As many links as the system itself follows before it gives up.
    for (int hop = 0; hop < 40; ++hop) {
        char target[PATH_MAX];
        const ssize_t n = ::readlink(at.c_str(), target, sizeof target - 1);
        if (n < 0)
            return endsAtAFile(path, at) ? at : path;
        target[n] = '\0';
        const std::string next = target;
        const std::string::size_type slash = at.rfind('/');
        at = next[0] == '/' || slash == std::string::npos ? next : at.substr(0, slash + 1) + next;
    }
    return endsAtAFile(path, at) ? at : path;
}
