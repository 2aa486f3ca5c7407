#include "tests/fuzz/FuzzFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

std::string writeFuzzFile(const std::string& name, const uint8_t* data, size_t size)
{
    static const std::string folder = [] {
        const std::string path = (std::filesystem::temp_directory_path() /
                                  ("sandvolt-fuzz-" + std::to_string(::getpid()))).string();
        std::filesystem::create_directories(path);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(std::filesystem::temp_directory_path() /
                                            ("sandvolt-fuzz-" + std::to_string(::getpid())),
                                        ignored);
        });
        return path;
    }();
    const std::string path = folder + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return path;
    if (size)
        std::fwrite(data, 1, size, file);
    std::fclose(file);
    return path;
}
