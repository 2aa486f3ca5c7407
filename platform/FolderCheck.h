#pragma once
#include <string>

// True when `path` names a folder. The engine library's XML readers take a folder for a file of
// the folder's size and run out of memory, so every XML file the game opens is asked first.
bool isFolder(const std::string& path);
