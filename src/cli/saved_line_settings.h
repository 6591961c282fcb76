// The line settings a ports file keeps for a COM port ("COM3.line=9600 8 Even 1 Hardware", as
// talq find --save writes them): what check, get and set use when no line option is given.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/models.h"
#include "link/port_settings.h"

namespace talq::cli {

struct SavedLine {
    LineWords words;
    std::string file;  // where they were found, for messages
    int line = 0;
};

// The user's ports file first, then the machine's, as for the mappings; nullopt when neither
// keeps settings for `port`. A file that cannot be read or a faulty line is told by the port
// mapping, which reads the same files whenever the port is opened.
std::optional<SavedLine> SavedLineOf(const std::string& port);

// `given` when any line option was given, else the port's saved settings, else nothing given.
// `saved` tells which.
LineWords LineWordsFor(const std::string& port, const LineWords& given,
                       std::optional<SavedLine>* saved = nullptr);

// The five words the ports file keeps for a connection record's line settings.
std::vector<std::string> LineSettingsWords(const link::PortSettings& settings);
// Those words with a space between, as the ports file's line holds them.
std::string JoinedWords(const std::vector<std::string>& words);

// A connection record's line settings, and a record for `port` at `line`.
platform::LineSettings LineOf(const link::PortSettings& settings);
void SetLine(link::PortSettings& settings, const platform::LineSettings& line);
link::PortSettings RecordOf(const std::string& port, const platform::LineSettings& line);
bool SameLine(const platform::LineSettings& a, const platform::LineSettings& b);

}  // namespace talq::cli
