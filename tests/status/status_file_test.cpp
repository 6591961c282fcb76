#include "status/status_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace talq::status {
namespace {

namespace fs = std::filesystem;

class StatusFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "talq-status-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string PathOf(const char* name) const { return (dir_ / name).string(); }

    static std::vector<std::uint8_t> ReadBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }

    fs::path dir_;
};

PrinterStatus Sample() {
    PrinterStatus status;
    status.switches[0].pins[0] = 0x01020304;  // no pin, yet it travels with the file
    status.switches[1].pins[4] = 1;
    status.switches[3].pins[5] = -48;  // what Get Status stores for a NUL character
    status.switches[5].pins[0] = -1;
    status.switches[5].pins[8] = 2;
    return status;
}

TEST_F(StatusFileTest, ImageIsLittleEndianAtTheFixedOffsets) {
    const StatusFileImage image = EncodeStatusImage(Sample());
    auto at = [&](std::size_t offset) {
        return std::vector<std::uint8_t>(image.begin() + offset, image.begin() + offset + 4);
    };
    EXPECT_EQ(at(0), (std::vector<std::uint8_t>{0x04, 0x03, 0x02, 0x01}));
    EXPECT_EQ(at(36 * 1 + 4 * 4), (std::vector<std::uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(at(36 * 3 + 4 * 5), (std::vector<std::uint8_t>{0xD0, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(at(180), (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(at(36 * 5 + 4 * 8), (std::vector<std::uint8_t>{2, 0, 0, 0}));
    int nonZero = 0;
    for (std::uint8_t byte : image) nonZero += byte != 0;
    EXPECT_EQ(nonZero, 4 + 1 + 4 + 4 + 1);
}

TEST_F(StatusFileTest, SaveThenLoadGivesBackTheSameRecordAndBytes) {
    const std::string path = PathOf("Noname.sts");
    ASSERT_TRUE(SaveStatusFile(path, Sample()));
    const std::vector<std::uint8_t> onDisk = ReadBytes(path);
    const StatusFileImage image = EncodeStatusImage(Sample());
    EXPECT_EQ(onDisk, std::vector<std::uint8_t>(image.begin(), image.end()));

    PrinterStatus loaded;
    loaded.switches[2].pins[2] = 9;  // overwritten: the load replaces all 54 integers
    ASSERT_EQ(LoadStatusFile(path, loaded), LoadOutcome::WrongFormat);  // a pin of -48 or 2
    EXPECT_EQ(loaded.switches[2].pins[2], 9);
    PrinterStatus pinsOf0And1 = Sample();
    pinsOf0And1.switches[3].pins[5] = 1;
    pinsOf0And1.switches[5].pins[8] = 0;
    ASSERT_TRUE(SaveStatusFile(path, pinsOf0And1));
    ASSERT_EQ(LoadStatusFile(path, loaded), LoadOutcome::Loaded);
    EXPECT_EQ(loaded, pinsOf0And1);

    ASSERT_TRUE(SaveStatusFile(path, PrinterStatus{}));  // an existing file is cut, not appended
    EXPECT_EQ(ReadBytes(path).size(), kStatusFileSize);
}

// Only what a printer could hold loads: exactly 216 bytes, each pin 0 or 1. The integer before
// pin 1 and every code page pattern, also those above the list, are kept as they are.
TEST_F(StatusFileTest, OnlyA216ByteImageWithPinsOf0And1Loads) {
    PrinterStatus kept;
    for (auto& memorySwitch : kept.switches) memorySwitch.pins[0] = -1;
    for (int pin = 3; pin <= 8; ++pin) kept.switches[kSlotSwitch2].pins[pin] = 1;  // page 63
    const StatusFileImage image = EncodeStatusImage(kept);
    const std::vector<std::uint8_t> whole(image.begin(), image.end());
    const auto withPin = [&](std::size_t offset, std::uint8_t value) {
        std::vector<std::uint8_t> bytes = whole;
        bytes[offset] = value;
        return bytes;
    };
    std::vector<std::uint8_t> longer = whole;
    longer.push_back(0);
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* reason;  // empty when it loads
    } cases[] = {
        {"kept.sts", whole, ""},
        {"seven.sts", std::vector<std::uint8_t>(7, 0), "exactly 216 bytes; this one has 7"},
        {"empty.sts", {}, "exactly 216 bytes; this one has 0"},
        {"ff.sts", std::vector<std::uint8_t>(300, 0xFF), "exactly 216 bytes; this one has more"},
        {"longer.sts", longer, "exactly 216 bytes; this one has more"},
        {"two.sts", withPin(36 * 2 + 4 * 3, 2), "not a status file: switch 8 pin 3 holds 2"},
        {"high.sts", withPin(36 * 5 + 4 * 8 + 3, 0x80),
         "switch 11 pin 8 holds -2147483648; a pin is 0 or 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(PathOf(c.name), c.bytes);
        PrinterStatus status = Sample();
        std::string reason;
        const LoadOutcome outcome = LoadStatusFile(PathOf(c.name), status, &reason);
        EXPECT_EQ(reason, StatusImageProblem(c.bytes).value_or("")) << "one rule for both";
        if (*c.reason == '\0') {
            EXPECT_EQ(outcome, LoadOutcome::Loaded);
            EXPECT_EQ(status, kept);
        } else {
            EXPECT_EQ(outcome, LoadOutcome::WrongFormat);
            EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
            EXPECT_EQ(status, Sample());
        }
    }

    // A trailing partial integer keeps the bytes it has.
    const std::uint8_t partial[] = {1, 0, 0, 0, 0x34, 0x12};
    const PrinterStatus decoded = DecodeStatusImage(partial, sizeof partial);
    EXPECT_EQ(IntegerAt(decoded, 1), 0x1234);
}

TEST_F(StatusFileTest, FailuresAreReportedWithTheirReasonAndLeaveTheRecordAlone) {
    PrinterStatus status = Sample();
    ASSERT_EQ(mkfifo(PathOf("fifo.sts").c_str(), 0600), 0);
    const std::pair<std::string, const char*> loads[] = {
        {PathOf("missing.sts"), "No such file or directory"},
        {dir_.string(), "Is a directory"},  // a folder is no status file
        {PathOf("fifo.sts"), kNotARegularFile},
    };
    for (const auto& [path, why] : loads) {
        std::string reason;
        EXPECT_EQ(LoadStatusFile(path, status, &reason), LoadOutcome::Unreadable) << path;
        EXPECT_EQ(reason, why) << path;
    }
    EXPECT_EQ(status, Sample());

    std::string reason;
    EXPECT_FALSE(SaveStatusFile(PathOf("no-such-folder/a.sts"), status, &reason));
    EXPECT_EQ(reason, "No such file or directory");
    EXPECT_FALSE(SaveStatusFile(dir_.string(), status, &reason));
    EXPECT_EQ(reason, "Is a directory");
    if (access("/dev/full", W_OK) == 0) {
        // A device cannot be replaced by renaming: it is written in place, and stays a device.
        EXPECT_FALSE(SaveStatusFile("/dev/full", status, &reason));
        EXPECT_EQ(reason, "No space left on device");
        struct stat st {};
        ASSERT_EQ(stat("/dev/full", &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode));
    }
}

TEST_F(StatusFileTest, ASaveThatFailsPartWayLeavesTheOldFileAsItWas) {
    const std::string path = PathOf("good.sts");
    ASSERT_TRUE(SaveStatusFile(path, Sample()));
    const std::vector<std::uint8_t> before = ReadBytes(path);

    // In a child, so the size limit binds nothing else: 100 bytes go, the rest fails.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of killing
        const rlimit limit{100, 100};
        std::string reason;
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(3);
        if (SaveStatusFile(path, PrinterStatus{}, &reason)) _exit(1);
        _exit(reason == "File too large" ? 0 : 2);
    }
    int wait = 0;
    ASSERT_EQ(waitpid(child, &wait, 0), child);
    ASSERT_TRUE(WIFEXITED(wait));
    EXPECT_EQ(WEXITSTATUS(wait), 0) << "1: saved anyway, 2: another reason, 3: no limit";

    EXPECT_EQ(ReadBytes(path), before);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename());
    EXPECT_EQ(names, std::vector<std::string>{"good.sts"}) << "no temporary file is left";
}

TEST_F(StatusFileTest, PermissionsAndLinksAreThoseOfAPlainWrite) {
    const mode_t previous = umask(027);
    const std::string created = PathOf("new.sts");
    const bool saved = SaveStatusFile(created, Sample());
    umask(previous);
    ASSERT_TRUE(saved);
    struct stat st {};
    ASSERT_EQ(stat(created.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u) << "0666 less the umask";

    ASSERT_EQ(chmod(created.c_str(), 0604), 0);
    ASSERT_TRUE(SaveStatusFile(created, PrinterStatus{}));
    ASSERT_EQ(stat(created.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u) << "a replaced file keeps its permissions";

    // Saving through a symbolic link replaces the file it names and keeps the link.
    const std::string link = PathOf("link.sts");
    ASSERT_EQ(symlink(created.c_str(), link.c_str()), 0);
    ASSERT_TRUE(SaveStatusFile(link, Sample()));
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    const StatusFileImage image = EncodeStatusImage(Sample());
    EXPECT_EQ(ReadBytes(created), std::vector<std::uint8_t>(image.begin(), image.end()));
}

TEST(StatusFileName, OnlyALowerCaseStsEndingIsAccepted) {
    EXPECT_TRUE(HasStatusFileName("Noname.sts"));
    EXPECT_TRUE(HasStatusFileName("asts"));
    EXPECT_TRUE(HasStatusFileName("sts"));
    EXPECT_FALSE(HasStatusFileName("a.STS"));
    EXPECT_FALSE(HasStatusFileName("a.Sts"));
    EXPECT_FALSE(HasStatusFileName("Noname"));
    EXPECT_FALSE(HasStatusFileName("ts"));
    EXPECT_FALSE(HasStatusFileName(""));
}

}  // namespace
}  // namespace talq::status
