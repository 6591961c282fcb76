// talq get -o FOLDER/ in virtual time: one file per printer named by the printer and the day,
// an index beside them, and nothing already there ever written over.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>

#include "platform/usb_bus.h"
#include "status/status_file.h"
#include "support/scoped_platform.h"
#include "support/virtual_device.h"
#include "support/virtual_platform.h"
#include "talq_run.h"

namespace talq::cli {
namespace {

namespace fs = std::filesystem;
using test::RunTalq;

struct SilentMonitor : platform::UsbMonitor {
    int fd() const override { return -1; }
    std::optional<platform::UsbEvent> Receive() override { return std::nullopt; }
};

// One USB printer with a serial number.
struct OnePrinterBus : platform::UsbBus {
    std::optional<std::vector<platform::UsbDeviceInfo>> PresentDevices() override {
        return std::vector<platform::UsbDeviceInfo>{
            {"/sys/usb1", "/dev/usb/lp0", 0x7c1a, 0x0006, "SN 7/1", "1-1"}};
    }
    std::unique_ptr<platform::UsbMonitor> Watch() override {
        return std::make_unique<SilentMonitor>();
    }
};

std::string Today() {
    const std::time_t now = std::time(nullptr);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", std::localtime(&now));
    return text;
}

std::map<std::string, std::string> Files(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        files[entry.path().filename().string()] =
            entry.is_symlink() ? "-> link" : test::ReadText(entry.path().string());
    }
    return files;
}

TEST(FleetBackup, EachPrinterGetsANewFileAndNothingIsWrittenOver) {
    test::TempDir state{"talq-state"};
    ::setenv("XDG_STATE_HOME", state.path().c_str(), 1);
    test::VirtualPlatform os;
    test::ScopedPlatform scoped{os};
    OnePrinterBus bus;
    test::ScopedUsbBus scopedBus{bus};
    std::map<std::string, std::shared_ptr<test::SimulatedPrinterDevice>> printers;
    for (const std::string name : {"COM1", "COM2", "COM3", "/dev/usb/lp0"}) {
        printers[name] = std::make_shared<test::SimulatedPrinterDevice>(0);
        os.AddDevice(name, printers[name]);
    }
    printers["COM1"]->Printer().SetPin(10, 5, true);
    printers["COM3"]->Printer().SetModelByte(0x7f);  // some other printer

    test::ScratchDir scratch;
    const fs::path folder = scratch / "backup";
    const std::string day = Today();
    // A link by the name COM2's file will want, leading nowhere yet: taken all the same.
    fs::create_directories(folder);
    fs::create_symlink(scratch / "elsewhere.sts", folder / ("KTV-520plus_COM2_" + day + ".sts"));

    const std::vector<std::string> args{"get",
                                        "--model",
                                        "0",
                                        "--port",
                                        "COM1",
                                        "--port",
                                        "COM2",
                                        "--port",
                                        "COM3",
                                        "--port",
                                        "usb:serial=sn 7/1",
                                        "-o",
                                        (scratch / "backup/"),
                                        "-q"};
    // A serial number with a space cannot be named; the bus path can.
    const auto bad = RunTalq(args);
    EXPECT_EQ(bad.exitCode, 2) << bad.err;
    std::vector<std::string> good = args;
    good[10] = "usb:path=1-1";
    const auto first = RunTalq(good);
    EXPECT_EQ(first.exitCode, 4) << first.err;
    const auto index =
        nlohmann::json::parse(test::ReadText(folder / ("talq-backup_" + day + ".json")));
    if (index["started"].get<std::string>().substr(0, 10) != day) GTEST_SKIP() << "midnight";

    const std::string one = "KTV-520plus_COM1_" + day + ".sts";
    const std::string two = "KTV-520plus_COM2_" + day + "-2.sts";
    const std::string usb = "KTV-520plus_SN-7-1_" + day + ".sts";
    auto files = Files(folder);
    EXPECT_EQ(files.size(), 5u);  // three files, the link and the index
    EXPECT_FALSE(fs::exists(scratch / "elsewhere.sts"));
    ASSERT_EQ(files[one].size(), 216u);
    const auto saved = status::DecodeStatusImage(
        reinterpret_cast<const std::uint8_t*>(files[one].data()), files[one].size());
    EXPECT_EQ(saved.switches[4].pins[5], 1);  // switch 10 pin 5, as COM1's printer holds it
    EXPECT_EQ(files[two].size(), 216u);
    EXPECT_EQ(files[usb].size(), 216u);

    EXPECT_EQ(index["format"], "talq-backup/1");
    ASSERT_EQ(index["printers"].size(), 4u);
    EXPECT_EQ(index["printers"][0]["file"], one);
    EXPECT_EQ(index["printers"][0]["firmwareVersion"], "Ver A01");
    EXPECT_EQ(index["printers"][1]["file"], two);
    EXPECT_EQ(index["printers"][2]["file"], nullptr);
    EXPECT_EQ(index["printers"][2]["exitCode"], 4);
    EXPECT_NE(index["printers"][2]["error"].get<std::string>().find("another model"),
              std::string::npos);
    EXPECT_EQ(index["printers"][3]["port"], "usb:path=1-1");
    EXPECT_EQ(index["printers"][3]["identity"], "usb:path=1-1");
    EXPECT_EQ(index["printers"][3]["file"], usb);

    // Again the same day, with COM1's printer changed: new names, the old files as they were.
    printers["COM1"]->Printer().SetPin(10, 5, false);
    good.back() = "--jobs=1";
    EXPECT_EQ(RunTalq(good).exitCode, 4);
    auto again = Files(folder);
    EXPECT_EQ(again.size(), 9u);
    for (const auto& [name, bytes] : files) EXPECT_EQ(again[name], bytes) << name;
    EXPECT_EQ(again.count("KTV-520plus_COM1_" + day + "-2.sts"), 1u);
    EXPECT_EQ(again.count("KTV-520plus_COM2_" + day + "-3.sts"), 1u);
    EXPECT_EQ(again.count("talq-backup_" + day + "-2.json"), 1u);
    EXPECT_NE(again["KTV-520plus_COM1_" + day + "-2.sts"], files[one]);

    // -o FILE still takes one port.
    const auto file = RunTalq(
        {"get", "--model", "0", "--port", "COM1", "--port", "COM2", "-o", scratch / "x.sts"});
    EXPECT_EQ(file.exitCode, 2);
    ::unsetenv("XDG_STATE_HOME");
}

}  // namespace
}  // namespace talq::cli
