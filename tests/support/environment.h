// Setting and clearing the process's environment variables, the same on every system.
#pragma once

#include <string>

namespace talq::test {

void SetEnvironment(const std::string& name, const std::string& value);
void ClearEnvironment(const std::string& name);

}  // namespace talq::test
