#pragma once
#include <string>

// Writes `bytes` to a temporary file beside `path`, flushes it to the disk and then puts it in
// place of `path` in one step, so a crash or a full disk leaves either the old file or the new one.
// On failure the old file stays as it was, `error` says why and the result is false.
bool replaceFileAtomically(const std::string& path, const std::string& bytes, std::string& error);
