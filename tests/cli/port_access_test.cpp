#include "cli/port_access.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "talq_run.h"

namespace talq::cli {
namespace {

TEST(PortAccess, APermissionProblemNamesTheGroupThatGrantsAccess) {
    const group* dialout = ::getgrnam("dialout");
    if (::geteuid() != 0 || dialout == nullptr) GTEST_SKIP() << "needs root and group dialout";
    test::ScratchDir dir;
    const std::string node = dir / "ttyS9";
    test::WriteText(node, "");
    ASSERT_EQ(::chmod((dir / "").c_str(), 0755), 0);
    ASSERT_EQ(::chown(node.c_str(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(::chmod(node.c_str(), 0660), 0);
    ::setenv("TALQ_COM9", node.c_str(), 1);

    // The check runs as a user outside the group.
    int words[2];
    ASSERT_EQ(::pipe(words), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped =
            ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
        const std::string text = dropped ? ExplainOpenFailure("COM9") : "could not drop root";
        [[maybe_unused]] const auto written = ::write(words[1], text.data(), text.size());
        ::_exit(0);
    }
    ::close(words[1]);
    std::string text(512, '\0');
    const ssize_t got = ::read(words[0], text.data(), text.size());
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    ::close(words[0]);
    ::waitpid(child, nullptr, 0);
    const bool rootMayUseIt = ExaminePortAccess("COM9").usable;
    ::unsetenv("TALQ_COM9");

    EXPECT_EQ(text, "COM9: " + node +
                        " cannot be opened: Permission denied; members of group dialout may use "
                        "it (add yourself with: usermod -aG dialout $USER, then log in again)");
    EXPECT_TRUE(rootMayUseIt);
}

}  // namespace
}  // namespace talq::cli
