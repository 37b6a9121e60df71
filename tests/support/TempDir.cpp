#include "TempDir.h"

#include "TestPaths.h"

#include <filesystem>
#include <random>
#include <stdexcept>
#include <system_error>

namespace parvix::test {

TempDir::TempDir()
{
    namespace fs = std::filesystem;
    std::random_device seed;
    std::mt19937_64 random(seed());
    const fs::path root = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = root / ("parvix-test-" + std::to_string(random() % 1000000000000ULL));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            m_path = candidate.string();
            while (m_path.size() > 1 && (m_path.back() == '/' || m_path.back() == '\\'))
                m_path.pop_back();
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary directory under " + root.string());
}

TempDir::~TempDir()
{
    std::error_code error;
    std::filesystem::remove_all(m_path, error); // never throw from a destructor
}

std::string TempDir::file(const std::string& name) const
{
    return joinPath(m_path, name);
}

} // namespace parvix::test
