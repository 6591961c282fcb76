// Whether the system is of the Windows 95/98/Me family, whose USB removal and
// discovery differ; false on every NT system and on POSIX.
#pragma once

namespace talq::platform {

bool IsWin9xFamily();

}  // namespace talq::platform
