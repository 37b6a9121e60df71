#pragma once

#include <string>

namespace parvix::test {

// A fresh directory under the system's temporary folder, removed with everything in it at the end.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The directory's path, without a trailing separator.
    const std::string& path() const { return m_path; }
    // A path inside the directory (a name, or a relative path written with the platform's separator).
    std::string file(const std::string& name) const;

private:
    std::string m_path;
};

} // namespace parvix::test
