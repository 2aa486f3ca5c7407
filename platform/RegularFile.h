#pragma once
#include <cstddef>
#include <string>

// Every file the game reads is opened through here. Only a regular file (or a link to one) opens,
// and opening never waits: a named pipe, a device or a folder in a file's place is refused, as is
// a file longer than its kind ever is, so that no file can hang the game or fill its memory.
enum class EFileOpen {
    Opened,
    Missing,    // nothing at the path (or a link to nothing)
    Refused,    // something is there, but not a file the game may read; `problem` says why
};

struct SFileOpen {
    EFileOpen result = EFileOpen::Missing;
    int fd = -1;         // open for reading (blocking again) when `result` is Opened
    std::string problem; // why the file was not opened
};

// Size limits of the kinds of file the game reads whole.
const std::size_t kSettingsFileLimit = 64 * 1024;
const std::size_t kTextFileLimit = 1024 * 1024;
const std::size_t kFontFileLimit = 64 * 1024 * 1024;
const std::size_t kMissionFileLimit = 16 * 1024 * 1024;
const std::size_t kSoundFileLimit = 512 * 1024 * 1024;

SFileOpen openRegularFile(const std::string& path, std::size_t limit);

// The whole file into `bytes`; the same results as openRegularFile, and Refused as well when the
// file cannot be read to its end.
SFileOpen readRegularFile(const std::string& path, std::size_t limit, std::string& bytes);

// The file a chain of links ends at (the path itself when it is no link); a link that points
// nowhere gives the path it points to, so that a file written there is found through the link.
// A link that ends at anything but a regular file (a device, a pipe, a folder) gives the path
// itself: a write must never replace what the link points to then.
std::string followLinks(const std::string& path);
