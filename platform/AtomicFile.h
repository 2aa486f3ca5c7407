#pragma once
#include <string>

// Writes `bytes` to a temporary file beside `path`, flushes it to the disk and then puts it in
// place of `path` in one step, so a crash or a full disk leaves either the old file or the new one.
// On failure the old file stays as it was, `error` says why and the result is false.
bool replaceFileAtomically(const std::string& path, const std::string& bytes, std::string& error);

// Keeps a file aside under a name no file holds yet: `base`, else `base` with ".2", ".3" and so
// on before its last extension. An earlier file of any of those names is never replaced. The
// first writes `bytes` there (whole, flushed to the disk), the second moves the file `from` there
// (a link moves as the link). Both give the name used, or an empty name with `error` set.
std::string writeUnderFreshName(const std::string& base, const std::string& bytes, std::string& error);
std::string moveUnderFreshName(const std::string& from, const std::string& base, std::string& error);
