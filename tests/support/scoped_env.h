// Sets environment variables for a scope and puts the old values back after it.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/environment.h"

namespace talq::test {

class ScopedEnv {
  public:
    ScopedEnv() = default;
    ScopedEnv(const std::string& name, const std::string& value) { Set(name, value); }
    ~ScopedEnv() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second) {
                SetEnvironment(it->first, *it->second);
            } else {
                ClearEnvironment(it->first);
            }
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    void Set(const std::string& name, const std::string& value) {
        Save(name);
        SetEnvironment(name, value);
    }
    void Unset(const std::string& name) {
        Save(name);
        ClearEnvironment(name);
    }

  private:
    void Save(const std::string& name) {
        const char* old = std::getenv(name.c_str());
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace talq::test
