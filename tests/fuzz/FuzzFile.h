#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The game's readers take file names, so each fuzz input is written to a file of this name in a
// folder of the process's own, and read back through the game's own calls.
std::string writeFuzzFile(const std::string& name, const uint8_t* data, size_t size);
