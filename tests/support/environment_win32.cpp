#include <stdlib.h>

#include "support/environment.h"

namespace talq::test {

void SetEnvironment(const std::string& name, const std::string& value) {
    _putenv_s(name.c_str(), value.c_str());
}

// An empty value removes the variable.
void ClearEnvironment(const std::string& name) {
    _putenv_s(name.c_str(), "");
}

}  // namespace talq::test
