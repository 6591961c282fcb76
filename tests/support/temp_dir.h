// A private temporary folder, removed with everything in it at the end of the scope.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace talq::test {

class TempDir {
  public:
    explicit TempDir(const std::string& prefix = "talq") {
        std::random_device seed;
        for (int attempt = 0; attempt < 16 && path_.empty(); ++attempt) {
            const auto candidate = std::filesystem::temp_directory_path() /
                                   (prefix + "-" + std::to_string(seed()));
            std::error_code error;
            // create_directory is false for a folder that already exists: only a new one is ours.
            if (std::filesystem::create_directory(candidate, error)) path_ = candidate;
        }
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace talq::test
