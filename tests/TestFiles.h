// Small file helpers for the tests: temporary folders, whole-file reads and writes, and the
// paths of the real test files in tests/data.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace testfiles {

namespace fs = std::filesystem;

// A fresh folder that is removed with everything in it when the test ends.
class TempDir {
public:
    TempDir() {
        std::random_device seed;
        m_path = fs::temp_directory_path() / ("zemvora-test-" + std::to_string(seed()));
        fs::create_directories(m_path);
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& Path() const { return m_path; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    fs::path m_path;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline std::string TestData(const std::string& relative) {
    return std::string(ZEMVORA_TESTDATA_DIR) + "/3ds/" + relative;
}

}  // namespace testfiles
