// The symbolic link by which talq-printer-sim makes its terminal reachable
// under a fixed name. Only a link to a pseudo-terminal is ever replaced or
// removed, so a mistyped path cannot cost anyone a file.
#pragma once

#include <string>

namespace talq::sim {

// Points `link` at `terminal`. A link there already is replaced only when it
// points into /dev/pts (left by an earlier simulator); anything else stays.
// Empty on success, otherwise why not.
std::string PlaceLink(const std::string& link, const std::string& terminal);

// Removes `link` only while it still points at `terminal`: another simulator
// may have taken the name over since.
void RemoveLinkIfOurs(const std::string& link, const std::string& terminal);

}  // namespace talq::sim
