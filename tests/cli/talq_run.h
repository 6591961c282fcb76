// Runs talq in this process, capturing what it prints, and a scratch directory for its files.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/app.h"
#include "support/temp_dir.h"

namespace talq::test {

struct TalqResult {
    int exitCode;
    std::string out;
    std::string err;
};

inline TalqResult RunTalq(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = cli::Run(args, out, err);
    return {code, out.str(), err.str()};
}

class ScratchDir {
  public:
    std::string operator/(const std::string& name) const { return (dir_.path() / name).string(); }
    std::size_t FileCount() const {
        return static_cast<std::size_t>(std::distance(
            std::filesystem::directory_iterator(dir_.path()), std::filesystem::directory_iterator()));
    }

  private:
    TempDir dir_{"talq-cli"};
};

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace talq::test
