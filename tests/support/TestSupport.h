#pragma once
// Helpers shared by the unit tests.
#include <functional>
#include <string>

namespace testsupport {

// Runs `body` and returns what it printed to standard output (printf and std::cout alike).
std::string captureStdout(const std::function<void()>& body);

// A fresh folder under /tmp, removed with everything in it when the object goes.
class CScratchDir {
public:
    CScratchDir();
    ~CScratchDir();
    CScratchDir(const CScratchDir&) = delete;
    CScratchDir& operator=(const CScratchDir&) = delete;
    const std::string& path() const { return dir; }
    std::string file(const std::string& name) const { return dir + "/" + name; }
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;
private:
    std::string dir;
};

} // namespace testsupport
