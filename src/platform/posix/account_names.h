// The names of users and groups by their ids, reentrant (ports examined at once ask at once);
// the number itself when the system knows no name for it.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace talq::platform::posix {

std::string GroupName(gid_t gid);
std::string UserNameOf(uid_t uid);
// The members the group database lists for the group (not those for whom it is the primary one).
std::vector<std::string> GroupMembers(gid_t gid);
// The primary group of the user, or nothing known (-1).
long PrimaryGroupOf(uid_t uid);

}  // namespace talq::platform::posix
