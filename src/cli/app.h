// talq's command line: the arguments parsed and handed to one command.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace talq::cli {

// Runs talq with `args` (without the program name). `errIsTerminal` allows the progress bar.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        bool errIsTerminal = false);

}  // namespace talq::cli
