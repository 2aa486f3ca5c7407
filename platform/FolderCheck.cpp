#include "platform/FolderCheck.h"

#include <filesystem>

bool isFolder(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}
