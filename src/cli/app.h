// talq's command line: the arguments parsed and handed to one command.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace talq::cli {

// Runs talq with `args` (without the program name). `errIsTerminal` allows the progress bar;
// without `errTakesEscapes` (a classic Windows console) it is drawn with carriage returns
// alone, and several ports get no progress lines.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        bool errIsTerminal = false, bool errTakesEscapes = true);

}  // namespace talq::cli
