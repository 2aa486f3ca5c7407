#include "tools/contentkit/CContentFile.h"

#include <cstdio>
#include <filesystem>

namespace contentkit {

namespace {
void makeFolder(const std::string& path)
{
    std::error_code ignored;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, ignored);
}

bool reported(const std::string& path, bool ok)
{
    if (!ok)
        printf("ERROR: Could not write \"%s\"\n", path.c_str());
    return ok;
}

bool writeBytes(const std::string& path, const void* data, size_t size)
{
    makeFolder(path);
    FILE* file = std::fopen(path.c_str(), "wb");
    bool ok = file != nullptr;
    if (file) {
        ok = std::fwrite(data, 1, size, file) == size;
        ok = std::fclose(file) == 0 && ok;
    }
    return reported(path, ok);
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

bool CContentFile::writeDds(const std::string& path, const std::vector<uint32_t>& argb, uint32_t width,
                            uint32_t height, EDDSFormat format)
{
    makeFolder(path);
    return reported(path, CDDSWriter::write(path, argb, width, height, format));
}

} // namespace contentkit
