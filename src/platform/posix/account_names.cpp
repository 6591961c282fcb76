#include "platform/posix/account_names.h"

#include <grp.h>
#include <pwd.h>

namespace talq::platform::posix {
namespace {

constexpr std::size_t kEntryBuffer = 16384;

const group* FindGroup(gid_t gid, group& entry, std::vector<char>& buffer) {
    group* found = nullptr;
    buffer.resize(kEntryBuffer);
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0) return nullptr;
    return found;
}

const passwd* FindUser(uid_t uid, passwd& entry, std::vector<char>& buffer) {
    passwd* found = nullptr;
    buffer.resize(kEntryBuffer);
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) != 0) return nullptr;
    return found;
}

}  // namespace

std::string GroupName(gid_t gid) {
    group entry{};
    std::vector<char> buffer;
    const group* found = FindGroup(gid, entry, buffer);
    return found != nullptr ? found->gr_name : std::to_string(gid);
}

std::string UserNameOf(uid_t uid) {
    passwd entry{};
    std::vector<char> buffer;
    const passwd* found = FindUser(uid, entry, buffer);
    return found != nullptr ? found->pw_name : std::to_string(uid);
}

std::vector<std::string> GroupMembers(gid_t gid) {
    group entry{};
    std::vector<char> buffer;
    std::vector<std::string> members;
    const group* found = FindGroup(gid, entry, buffer);
    for (char** member = found != nullptr ? found->gr_mem : nullptr; member && *member; ++member) {
        members.emplace_back(*member);
    }
    return members;
}

long PrimaryGroupOf(uid_t uid) {
    passwd entry{};
    std::vector<char> buffer;
    const passwd* found = FindUser(uid, entry, buffer);
    return found != nullptr ? static_cast<long>(found->pw_gid) : -1;
}

}  // namespace talq::platform::posix
