// The ports files and the environment deciding which device a port name reaches; no real
// device node is opened: mappings lead to pseudo-terminals and paths in a scratch folder.
#include "platform/port_mapping.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/platform.h"
#include "platform/port_devices.h"
#include "platform/ports_file.h"
#include "support/pty_pair.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace talq::platform {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// What the code under test writes to standard error meanwhile.
class CapturedStderr {
  public:
    CapturedStderr() : file_(std::tmpfile()) {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        ::dup2(::fileno(file_), STDERR_FILENO);
    }
    ~CapturedStderr() { Restore(); }
    std::string Text() {
        Restore();
        std::string text;
        std::rewind(file_);
        for (int c; (c = std::fgetc(file_)) != EOF;) text += static_cast<char>(c);
        return text;
    }

  private:
    void Restore() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        saved_ = -1;
    }
    std::FILE* file_;
    int saved_ = -1;
};

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(PortsFile, ReadsMappingsAndNamesEachFaultyLine) {
    const PortsFileContents contents = ParsePortsFile(
        "# printers in the back office\n"
        "\n"
        "  COM3 = /dev/serial/by-id/usb-A-if00-port0  \r\n"
        "LPT1=/dev/usb/lp0\n"
        "COM3=/dev/ttyUSB1\n"
        "COM11=/dev/ttyUSB2\n"
        "COM0=/dev/ttyUSB2\n"
        "com4=/dev/ttyUSB2\n"
        "LPT4=/dev/usb/lp1\n"
        "COM4 /dev/ttyUSB2\n"
        "COM5=\n"
        "COM6=ttyUSB0\n"
        "COM3.line = 9600 7 even 1 xon/xoff\n"
        "COM3.line=19200 8 None 1 Hardware\n"
        "LPT1.line=9600 8 None 1 Hardware\n"
        "COM4.line=fast\n"
        "COM5.line=9600 9 None 1 Hardware\n"
        "COM7=/dev/caf\xE9\n"   // Latin-1: a name the program never meant
        "COM10=/dev/ttyACM0");  // no line end at the end
    ASSERT_EQ(contents.mappings.size(), 3u);
    EXPECT_EQ(contents.mappings[0].line, 3);
    EXPECT_EQ(contents.mappings[0].port, "COM3");
    EXPECT_EQ(contents.mappings[0].device, "/dev/serial/by-id/usb-A-if00-port0");
    EXPECT_EQ(contents.mappings[1].device, "/dev/usb/lp0");
    EXPECT_EQ(contents.mappings[2].port, "COM10");
    // Line settings beside the mappings, in the words' listed spelling.
    ASSERT_EQ(contents.lineSettings.size(), 1u);
    EXPECT_EQ(contents.lineSettings[0].line, 13);
    EXPECT_EQ(contents.lineSettings[0].words,
              (std::vector<std::string>{"9600", "7", "Even", "1", "Xon/Xoff"}));

    const std::vector<std::pair<int, std::string>> problems = {
        {5, "COM3 is mapped on line 3 already"},
        {6, "unknown port \"COM11\""},
        {7, "unknown port \"COM0\""},
        {8, "unknown port \"com4\""},
        {9, "unknown port \"LPT4\""},
        {10, "not a mapping"},
        {11, "no device"},
        {12, "\"ttyUSB0\" is not an absolute path"},
        {14, "COM3's line settings are on line 13 already"},
        {15, "line settings for \"LPT1\" (COM1..COM10 only)"},
        {16, "line settings are five words"},
        {17, "\"9\" is no line setting"},
        {18, "the device is not UTF-8 text"},
    };
    ASSERT_EQ(contents.problems.size(), problems.size());
    for (std::size_t i = 0; i < problems.size(); ++i) {
        EXPECT_EQ(contents.problems[i].line, problems[i].first);
        EXPECT_NE(contents.problems[i].text.find(problems[i].second), std::string::npos)
            << contents.problems[i].text;
    }
}

// Files as editors leave them: a byte-order mark, comments after a mapping, CRLF line ends.
TEST(PortsFile, TakesTheFileAsPeopleWriteIt) {
    const struct {
        std::string text;
        std::string device;  // COM4's, "" for none
        std::string edited;  // the text after mapping COM4 to /dev/new
    } cases[] = {
        {"\xEF\xBB\xBF"
         "COM4=/dev/ttyUSB1\n",
         "/dev/ttyUSB1",
         "\xEF\xBB\xBF"
         "COM4=/dev/new\n"},
        {"\xEF\xBB\xBF# mine\r\n", "", "\xEF\xBB\xBF# mine\r\nCOM4=/dev/new\r\n"},
        {"COM4 = /dev/ttyUSB1 # kitchen\n", "/dev/ttyUSB1", "COM4=/dev/new\n"},
        {"COM4=/dev/ttyUSB1\t# kitchen\n", "/dev/ttyUSB1", "COM4=/dev/new\n"},
        {"COM4=/dev/x#1\n", "/dev/x#1", "COM4=/dev/new\n"},
        {"  # COM4=/dev/ttyUSB1\n", "", "  # COM4=/dev/ttyUSB1\nCOM4=/dev/new\n"},
        {"COM3=/dev/a\r\nCOM4=/dev/b\r\n", "/dev/b", "COM3=/dev/a\r\nCOM4=/dev/new\r\n"},
        {"COM3=/dev/a\r\n#", "", "COM3=/dev/a\r\n#\r\nCOM4=/dev/new\r\n"},
    };
    for (const auto& c : cases) {
        const PortsFileContents contents = ParsePortsFile(c.text);
        EXPECT_TRUE(contents.problems.empty()) << c.text << contents.problems[0].text;
        std::string device;
        for (const auto& mapping : contents.mappings) {
            if (mapping.port == "COM4") device = mapping.device;
        }
        EXPECT_EQ(device, c.device) << c.text;
        EXPECT_EQ(WithPortMapping(c.text, "COM4", "/dev/new"), c.edited) << c.text;
    }
    EXPECT_TRUE(ProblemWithDevice("/dev/x #1"));  // would read back as "/dev/x"
}

TEST(PortMapping, EnvironmentThenUserFileThenSystemFileThenDefault) {
    test::TempDir dir;
    test::PtyPair pty;
    ASSERT_TRUE(pty.Valid());
    const fs::path user = dir.path() / "config" / "talquist-manager" / "ports.conf";
    const fs::path system = dir.path() / "etc-ports.conf";
    const std::string absent = (dir.path() / "unplugged").string();
    Write(user,
          "# mine\n"
          "COM3=" +
              pty.SlavePath() +
              "\n"
              "COM12=/dev/ttyUSB0\n"
              "LPT2=" +
              absent + "\n");
    Write(system,
          "COM3=/dev/ttyUSB7\n"
          "COM4=/dev/ttyACM0\n"
          "garbage\n"
          "COM5=/dev/ttyUSB5\n");
    test::ScopedEnv env;
    env.Set("XDG_CONFIG_HOME", (dir.path() / "config").string());
    env.Set("TALQ_SYSTEM_PORTS_FILE", system.string());
    env.Set("TALQ_COM5", "/dev/pts/env");
    env.Unset("TALQ_COM3");
    env.Unset("TALQ_COM4");
    env.Unset("TALQ_LPT2");
    env.Unset("TALQ_COM1");
    ASSERT_EQ(UserPortsFile(), user.string());

    const struct {
        std::string port, device;
        MappingSource source;
        std::string file;
        int line;
    } cases[] = {
        {"COM3", pty.SlavePath(), MappingSource::File, user.string(), 2},  // user file first
        {"COM4", "/dev/ttyACM0", MappingSource::File, system.string(), 2},
        {"COM5", "/dev/pts/env", MappingSource::Environment, "", 0},  // environment over both
        {"LPT2", absent, MappingSource::File, user.string(), 4},      // kept while absent
        {"COM1", "/dev/ttyS0", MappingSource::Default, "", 0},
        {"LPT3", "/dev/lp2", MappingSource::Default, "", 0},
        {"COM12", "/dev/ttyS11", MappingSource::Default, "", 0},  // no port of the lists
        {"COM", "", MappingSource::Default, "", 0},
    };
    CapturedStderr captured;
    for (int round = 0; round < 2; ++round) {
        for (const auto& c : cases) {
            const PortMapping mapping = MappingOfPort(c.port);
            EXPECT_EQ(mapping.device, c.device) << c.port;
            EXPECT_EQ(mapping.source, c.source) << c.port;
            EXPECT_EQ(mapping.file, c.file) << c.port;
            EXPECT_EQ(mapping.line, c.line) << c.port;
        }
    }
    EXPECT_EQ(MappingOfPort("COM5").variable, "TALQ_COM5");
    // Each faulty line is told once with its file and line, however often the files are read.
    const std::string told = captured.Text();
    EXPECT_EQ(Count(told, user.string() + ":3: unknown port \"COM12\""), 1u) << told;
    EXPECT_EQ(Count(told, system.string() + ":3: not a mapping"), 1u) << told;
    EXPECT_EQ(Count(told, "\n"), 2u) << told;

    // A system file that cannot be read is told once, not taken for one that maps nothing.
    fs::remove(system);
    fs::create_directories(system);
    CapturedStderr unreadable;
    EXPECT_EQ(MappingOfPort("COM4").source, MappingSource::Default);
    EXPECT_EQ(MappingOfPort("COM4").source, MappingSource::Default);
    EXPECT_EQ(unreadable.Text(), system.string() +
                                     ": cannot be read (not a regular file); "
                                     "its mappings are not used\n");

    // The mapping is what the real backend opens: the pseudo-terminal.
    const DeviceHandle handle = Current().OpenDevice(DevicePathForPort("COM3"));
    EXPECT_NE(handle, kNoDevice);
    Current().CloseDevice(handle);
}

// The kernel's description of serial nodes, from a fake sysfs tree; the nodes named are plain
// files and links in a scratch folder.
TEST(SerialHardware, ComesFromTheTtyTypeInSysfs) {
    test::TempDir dir;
    const fs::path dev = dir.path() / "dev", sys = dir.path() / "sys";
    for (const char* node : {"ttyS0", "ttyS1", "ttyS2", "ttyUSB0", "ttyACM3", "pts7"}) {
        Write(dev / node, "");
    }
    Write(sys / "class/tty/ttyS0/type", "0\n");  // a node without a UART
    Write(sys / "class/tty/ttyS1/type", "4\n");  // a 16550A
    fs::create_directories(dir.path() / "by-id");
    fs::create_symlink(dev / "ttyS0", dir.path() / "by-id" / "pci-serial0");
    fs::create_symlink(dev / "ttyUSB0", dir.path() / "by-id" / "usb-Maker_A-if00-port0");
    test::ScopedEnv env("TALQ_SYSFS_ROOT", sys.string());
    env.Set("TALQ_SERIAL_BY_ID_DIR", (dir.path() / "by-id").string());

    const struct {
        fs::path node;
        SerialHardware expected;
    } cases[] = {
        {dev / "ttyS0", SerialHardware::Absent},
        {dir.path() / "by-id" / "pci-serial0", SerialHardware::Absent},  // followed to ttyS0
        {dev / "ttyS1", SerialHardware::Present},
        {dev / "ttyS2", SerialHardware::Unknown},  // sysfs says nothing
        {dev / "ttyUSB0", SerialHardware::Present},
        {dev / "ttyACM3", SerialHardware::Present},
        {dev / "pts7", SerialHardware::Unknown},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SerialHardwareBehind(c.node.string()), c.expected) << c.node;
    }

    const std::vector<SerialAdapter> adapters = PresentSerialAdapters();
    ASSERT_EQ(adapters.size(), 2u);
    EXPECT_EQ(adapters[1].path, (dir.path() / "by-id" / "usb-Maker_A-if00-port0").string());
    EXPECT_EQ(adapters[1].device, fs::canonical(dev / "ttyUSB0").string());
}

}  // namespace
}  // namespace talq::platform
