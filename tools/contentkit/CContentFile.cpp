#include "tools/contentkit/CContentFile.h"

#include <cstdio>
#include <filesystem>

namespace contentkit {

namespace {
bool writeBytes(const std::string& path, const void* data, size_t size)
{
    std::error_code ignored;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, ignored);
    FILE* file = std::fopen(path.c_str(), "wb");
    bool ok = file != nullptr;
    if (file) {
        ok = std::fwrite(data, 1, size, file) == size;
        ok = std::fclose(file) == 0 && ok;
    }
    if (!ok)
        printf("ERROR: Could not write \"%s\"\n", path.c_str());
    return ok;
}
} // namespace

bool CContentFile::write(const std::string& path, const std::string& bytes)
{
    return writeBytes(path, bytes.data(), bytes.size());
}

bool CContentFile::write(const std::string& path, const std::vector<uint8_t>& bytes)
{
    return writeBytes(path, bytes.data(), bytes.size());
}

} // namespace contentkit
