// talq.exe as a Windows user meets it, in this process against the real backend: a ports file
// Notepad saved in the ANSI code page, ports with nothing behind them (scripts/wine-run.sh links
// every COM name to nothing), a port another program holds, and no %APPDATA%.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "platform/port_mapping.h"
#include "support/scoped_env.h"
#include "talq_run.h"

namespace talq::cli {
namespace {

using test::RunTalq;

std::string Ansi(const std::wstring& text) {
    const int size = static_cast<int>(text.size());
    std::string bytes(static_cast<std::size_t>(size) * 2, '\0');
    bytes.resize(static_cast<std::size_t>(WideCharToMultiByte(
        CP_ACP, 0, text.data(), size, bytes.data(), size * 2, nullptr, nullptr)));
    return bytes;
}

class TalqOnWindows : public testing::Test {
  protected:
    void SetUp() override {
        env.Set("APPDATA", dir / "Roaming");
        env.Set("TALQ_SYSTEM_PORTS_FILE", dir / "none.conf");
        for (const char* port : {"TALQ_COM3", "TALQ_COM4"}) env.Unset(port);
        std::filesystem::create_directories(std::filesystem::path(ports).parent_path());
    }

    test::ScratchDir dir;
    test::ScopedEnv env;
    const std::string ports = dir / "Roaming\\talquist-manager\\ports.conf";
};

TEST_F(TalqOnWindows, AnAnsiPortsFileIsReadAsNotepadWroteIt) {
    ASSERT_NE(GetACP(), static_cast<UINT>(CP_UTF8));
    const std::string cafe = "C:\\caf\xC3\xA9\\x";
    test::WriteText(ports, Ansi(L"COM3=C:\\caf\u00e9\\x\r\n"));
    ASSERT_NE(test::ReadText(ports).find('\xE9'), std::string::npos);  // é in code page 1252

    const auto listed = RunTalq({"ports"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_NE(listed.out.find(cafe), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("(ports file " + ports + ":1)"), std::string::npos) << listed.out;

    // An edit writes the file back in UTF-8, marked so that every Notepad reads it so.
    const auto mapped = RunTalq({"map", "COM4", "COM5"});
    EXPECT_EQ(mapped.exitCode, 0) << mapped.err;
    EXPECT_NE(mapped.err.find("read in the ANSI code page, written back in UTF-8"),
              std::string::npos)
        << mapped.err;
    const std::string mark = "\xEF\xBB\xBF";
    EXPECT_EQ(test::ReadText(ports), mark + "COM3=" + cafe + "\r\nCOM4=COM5\r\n");
    EXPECT_EQ(RunTalq({"map", "COM4", "COM5"}).err, "");  // UTF-8 now: read as it is

    // A file marked UTF-8 whose bytes are not: the line is told and ignored, as any bad line.
    test::WriteText(ports, mark + "COM3=C:\\caf\xE9\\x\r\n");
    std::string told;
    const auto previous =
        platform::SetPortsFileReportWriter([&](const std::string& line) { told += line + "\n"; });
    EXPECT_EQ(RunTalq({"ports"}).exitCode, 0);
    platform::SetPortsFileReportWriter(previous);
    EXPECT_EQ(told, ports + ":1: the device is not UTF-8 text; line ignored\n");

    env.Unset("APPDATA");
    const auto nowhere = RunTalq({"map", "COM4", "COM5"});
    EXPECT_EQ(nowhere.exitCode, 7);
    EXPECT_EQ(nowhere.err, "talq: no folder for the ports file: %APPDATA% is not set\n");
}

TEST_F(TalqOnWindows, AFailedOpenSaysWhatIsBehindThePort) {
    const std::string file = dir / "printer.bin";
    const HANDLE held =
        CreateFileW(std::filesystem::path(file).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const struct {
        const char* mapping;  // TALQ_COM3, nullptr for none
        std::string said;
    } cases[] = {
        // Wine's COM3 opens but reaches nothing; Windows has no such name.
        {nullptr, "COM3: \\\\.\\COM3 cannot be opened: nothing serial is behind it ("},
        {"COM40",
         "COM3: COM40 cannot be opened: nothing is behind it (no such port on this system)"},
        {file.c_str(), "cannot be opened: in use by another program"},
    };
    for (const auto& c : cases) {
        if (c.mapping != nullptr) env.Set("TALQ_COM3", c.mapping);
        const auto result = RunTalq({"check", "--model", "0", "--port", "COM3"});
        EXPECT_EQ(result.exitCode, 3) << result.err;
        EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find("refused the line settings"), std::string::npos) << result.err;
    }
    CloseHandle(held);
    const auto free = RunTalq({"check", "--model", "0", "--port", "COM3"});
    EXPECT_NE(free.err.find("cannot be opened: nothing serial is behind it"), std::string::npos)
        << free.err;
}

}  // namespace
}  // namespace talq::cli
