// talq map, unmap and ports over a ports file in a scratch config home; the mapped devices are
// pseudo-terminals and plain files, and sysfs is a fake tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <stdexcept>

#include "support/pty_pair.h"
#include "support/scoped_env.h"
#include "support/scoped_platform.h"
#include "talq_run.h"

namespace talq::cli {
namespace {

namespace fs = std::filesystem;
using test::RunTalq;

struct NoUsbBus : platform::UsbBus {
    std::optional<std::vector<platform::UsbDeviceInfo>> PresentDevices() override {
        return std::vector<platform::UsbDeviceInfo>{};
    }
    std::unique_ptr<platform::UsbMonitor> Watch() override { return nullptr; }
};

TEST(PortsFileCommands, MapAndUnmapWriteTheFileWholeOrNotAtAll) {
    test::ScratchDir dir;
    test::PtyPair pty;
    ASSERT_TRUE(pty.Valid());
    const std::string home = dir / "config", file = home + "/talquist-manager/ports.conf";
    const std::string absent = dir / "unplugged";
    test::ScopedEnv env("XDG_CONFIG_HOME", home);
    env.Set("TALQ_SYSTEM_PORTS_FILE", dir / "none.conf");
    for (const char* port : {"TALQ_COM2", "TALQ_COM3", "TALQ_COM4", "TALQ_LPT1"}) env.Unset(port);

    // A file not there yet is made with its folder.
    ASSERT_EQ(RunTalq({"map", "LPT1", "/dev/usb/lp0"}).exitCode, 0);
    test::WriteText(file, "# office\nCOM3=/old\n\nstray words\nLPT1=/dev/usb/lp0\nCOM3=/older");

    const std::string start = test::ReadText(file);
    const std::string mapped = "# office\nCOM3=" + pty.SlavePath() + "\n\nstray words\n";
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string text;  // the file afterwards
        std::string said;  // on stdout or stderr
    } steps[] = {
        {{"map", "COM3", pty.SlavePath()}, 0, mapped + "LPT1=/dev/usb/lp0\n", "written: " + file},
        {{"map", "COM3", pty.SlavePath()}, 0, mapped + "LPT1=/dev/usb/lp0\n", "unchanged"},
        {{"map", "COM4", absent},
         0,
         mapped + "LPT1=/dev/usb/lp0\nCOM4=" + absent + "\n",
         "is absent now; the mapping is kept"},
        {{"unmap", "LPT1"}, 0, mapped + "COM4=" + absent + "\n", "written"},
        {{"unmap", "LPT1"}, 0, mapped + "COM4=" + absent + "\n", "unchanged"},
        {{"map", "COM11", "/dev/ttyUSB0"}, 2, "", "unknown port \"COM11\""},
        {{"map", "COM2", "ttyUSB0"}, 2, "", "\"ttyUSB0\" is not an absolute path"},
        {{"map", "COM2", " /dev/ttyUSB0"}, 2, "", "starts or ends with a space"},
        {{"map", "COM2"}, 2, "", "give the device for COM2"},
        {{"map", "COM2", "--list"}, 2, "", "--list takes no port"},
        {{"unmap", "LPT4"}, 2, "", "unknown port \"LPT4\""},
        {{"unmap"}, 2, "", "port is required"},
    };
    std::string expected = start;
    for (const auto& step : steps) {
        const auto result = RunTalq(step.args);
        EXPECT_EQ(result.exitCode, step.exitCode) << step.args[0] << result.err;
        EXPECT_NE((result.out + result.err).find(step.said), std::string::npos)
            << result.out << result.err;
        if (!step.text.empty()) expected = step.text;
        EXPECT_EQ(test::ReadText(file), expected) << step.args[0];
    }

    // A ports file that cannot be read or written is left as it is.
    test::ScopedEnv blocked("XDG_CONFIG_HOME", file);  // a folder below a regular file
    const auto cannot = RunTalq({"map", "COM2", "/dev/ttyUSB0"});
    EXPECT_EQ(cannot.exitCode, 7);
    EXPECT_NE(cannot.err.find("Not a directory"), std::string::npos) << cannot.err;
    blocked.Set("XDG_CONFIG_HOME", dir / "odd");
    fs::create_directories(dir / "odd/talquist-manager/ports.conf");
    EXPECT_EQ(RunTalq({"unmap", "COM2"}).exitCode, 7);
    EXPECT_EQ(test::ReadText(file), expected);
}

TEST(PortsFileCommands, PortsTellsWhereEachMappingComesFromAndListsAdapters) {
    test::ScratchDir dir;
    test::PtyPair pty;
    ASSERT_TRUE(pty.Valid());
    NoUsbBus bus;
    test::ScopedUsbBus scopedBus{bus};
    const std::string noUart = dir / "ttyS1";  // stands for a node of an absent UART
    test::WriteText(noUart, "");
    fs::create_directories(dir / "sys/class/tty/ttyS1");
    test::WriteText(dir / "sys/class/tty/ttyS1/type", "0\n");
    fs::create_directories(dir / "by-id");
    fs::create_symlink(pty.SlavePath(), dir / "by-id/usb-Maker_Adapter_X1-if00-port0");
    test::WriteText(dir / "etc.conf", "# machine\nCOM2=" + noUart + "\nCOM3=/dev/ttyUSB9\n");

    test::ScopedEnv env("XDG_CONFIG_HOME", dir / "config");
    env.Set("TALQ_SYSTEM_PORTS_FILE", dir / "etc.conf");
    env.Set("TALQ_SYSFS_ROOT", dir / "sys");
    env.Set("TALQ_SERIAL_BY_ID_DIR", dir / "by-id");
    env.Set("TALQ_COM4", dir / "env-tty");
    for (const char* port : {"TALQ_COM1", "TALQ_COM2", "TALQ_COM3"}) env.Unset(port);
    const std::string adapter = dir / "by-id/usb-Maker_Adapter_X1-if00-port0";
    ASSERT_EQ(RunTalq({"map", "COM3", adapter}).exitCode, 0);
    const std::string user = dir / "config/talquist-manager/ports.conf";

    const auto text = RunTalq({"ports"});
    ASSERT_EQ(text.exitCode, 0);
    // The columns line up (COM10 as well): every device starts at one place.
    std::istringstream lines(text.out);
    std::set<std::size_t> deviceColumns;
    for (std::string line; std::getline(lines, line);) deviceColumns.insert(line.find('/'));
    EXPECT_EQ(deviceColumns.size(), 1u) << text.out;
    std::string collapsed;  // the padding as two spaces
    for (char c : text.out) {
        if (!(c == ' ' && collapsed.ends_with("  "))) collapsed += c;
    }
    for (const std::string& line : std::vector<std::string>{
             "COM2  serial  " + noUart + "  no serial hardware  (ports file " + dir / "etc.conf" +
                 ":2)\n",
             "COM3  serial  " + adapter + "  can be opened  (ports file " + user + ":1)\n",
             "COM4  serial  " + dir / "env-tty" + "  absent  (environment TALQ_COM4)\n",
         }) {
        EXPECT_NE(collapsed.find(line), std::string::npos) << line << "\n" << text.out;
    }

    const auto json = nlohmann::json::parse(RunTalq({"ports", "--json"}).out);
    ASSERT_EQ(json.size(), 13u);  // the port lists stay as they are
    EXPECT_EQ(json[1]["serialHardware"], false);
    EXPECT_EQ(json[1]["reason"], "no serial hardware");
    EXPECT_EQ(json[2]["source"], (nlohmann::json{{"kind", "file"}, {"file", user}, {"line", 1}}));
    EXPECT_EQ(json[3]["source"],
              (nlohmann::json{{"kind", "environment"}, {"variable", "TALQ_COM4"}}));
    EXPECT_EQ(json[12]["source"], (nlohmann::json{{"kind", "default"}}));

    // The adapters to choose from, with the COM port mapped to each.
    EXPECT_EQ(RunTalq({"map", "--list"}).out, adapter + "  " + pty.SlavePath() + "  COM3\n");
    env.Set("TALQ_SERIAL_BY_ID_DIR", dir / "no-such-folder");
    const auto none = RunTalq({"map"});
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("no serial adapters in " + dir / "no-such-folder"), std::string::npos);
}

// A fault no command foresees ends the run with a message and exit 8, never an abort.
TEST(PortsFileCommands, AnUnforeseenFaultEndsTheRunWithItsReason) {
    struct FailingBus : NoUsbBus {
        std::optional<std::vector<platform::UsbDeviceInfo>> PresentDevices() override {
            throw std::runtime_error("the USB bus went away");
        }
    } bus;
    test::ScopedUsbBus scopedBus{bus};
    const auto result = RunTalq({"ports"});
    EXPECT_EQ(result.exitCode, 8);
    EXPECT_EQ(result.err, "talq: stopped: the USB bus went away\n");
}

}  // namespace
}  // namespace talq::cli
