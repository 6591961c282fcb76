#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "gui/status_dialog_fixture.h"
#include "status/status_file.h"
#include "support/temp_dir.h"

namespace talq::test {
namespace {

namespace fs = std::filesystem;
using Message = PromptRecorder::Message;
using status::MessageIcon;
using Bytes = std::vector<std::uint8_t>;

constexpr int kSave = StatusDialog::kSaveStatusId, kLoad = StatusDialog::kLoadStatusId,
              kGet = StatusDialog::kGetStatusId, kInit = StatusDialog::kInitializeStatusId;

Bytes ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

Bytes Image(const status::PrinterStatus& record) {
    const auto image = status::EncodeStatusImage(record);
    return {image.begin(), image.end()};
}

// Runs `body` in a child process without root's right to write anywhere; true when it
// returned true there.
bool AsUnprivilegedUser(const std::function<bool()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        _exit(body() ? 0 : 1);
    }
    int wait = 0;
    return child > 0 && waitpid(child, &wait, 0) == child && WIFEXITED(wait) &&
           WEXITSTATUS(wait) == 0;
}

struct StatusFileCommandsTest : StatusDialogTest {
    void SetUp() override { ASSERT_FALSE(dir.empty()); }
    // A test may take the folder's write right away; the removal needs it back.
    void TearDown() override { fs::permissions(dir, fs::perms::owner_all); }
    std::string PathOf(const std::string& name) const { return (dir / name).string(); }

    TempDir scratch{"talq-gui"};
    const fs::path dir = scratch.path();
};

TEST_F(StatusFileCommandsTest, SaveThenLoadGivesBackAll216BytesFromTheFolderTheUserChose) {
    Open(0);
    Press(kInit);
    dialog->status.switches[0].pins[0] = 0x01020304;  // no pin, yet it travels with the file
    dialog->status.switches[5].pins[0] = -48;
    dialog->status.switches[3].pins[5] = 1;
    const status::PrinterStatus saved = dialog->status;
    ASSERT_NE(fs::current_path(), dir);

    prompts.AnswerFile(PathOf("round.sts"));
    Press(kSave);
    EXPECT_EQ(ReadBytes(PathOf("round.sts")), Image(saved));
    EXPECT_FALSE(fs::exists(fs::current_path() / "round.sts"));

    Press(kInit);
    ASSERT_NE(dialog->status, saved);
    prompts.AnswerFile(PathOf("round.sts"));
    Press(kLoad);
    EXPECT_EQ(dialog->status, saved);

    prompts.AnswerFile(std::nullopt);  // Cancel changes nothing
    Press(kLoad);
    EXPECT_EQ(dialog->status, saved);
    EXPECT_TRUE(prompts.messages.empty());

    ASSERT_EQ(prompts.fileRequests.size(), 3u);
    const ui::FileRequest& save = prompts.fileRequests[0];
    EXPECT_TRUE(save.save);
    EXPECT_EQ(save.title, "Save current status");
    EXPECT_EQ(save.initialName, "Noname.sts");
    EXPECT_EQ(save.filter, "Status Files (*.sts)|*.sts|");
    EXPECT_EQ(save.defaultExtension, "sts");
    EXPECT_TRUE(save.overwritePrompt);
    const ui::FileRequest& load = prompts.fileRequests[1];
    EXPECT_FALSE(load.save);
    EXPECT_EQ(load.title, "Load saved status");
    EXPECT_EQ(load.initialName, "*.sts");
    EXPECT_EQ(load.filter, save.filter);
    EXPECT_TRUE(load.mustExist);
}

// A name ending in "sts" and what a printer could hold: 216 bytes, each pin 0 or 1, the integer
// before pin 1 anything, and any code page pattern (one above the list selects no entry).
// Anything else would reach the printer as pins nobody chose.
TEST_F(StatusFileCommandsTest, LoadTakesAStsNameAndOnlyWhatAPrinterCouldHold) {
    Open(0);
    // Refused before any Get Status, a file leaves Set Status disabled: none of it is sent.
    const std::vector<int> enabled = EnabledButtons();
    WriteBytes(PathOf("ff.sts"), Bytes(300, 0xFF));
    prompts.AnswerFile(PathOf("ff.sts"));
    Press(kLoad);
    EXPECT_EQ(EnabledButtons(), enabled);
    EXPECT_FALSE(dialog->window().IsEnabled(StatusDialog::kSetStatusId));

    Press(kGet);
    status::PrinterStatus file{};
    file.switches[status::kSlotSwitch10].pins[5] = 1;
    file.switches[status::kSlotSwitch11].pins[0] = -1;
    const Bytes good = Image(file);
    for (int pin : {3, 6, 7}) file.switches[status::kSlotSwitch2].pins[pin] = 1;  // page 44
    const Bytes page44 = Image(file);
    Bytes pinOf2 = good;
    pinOf2[36 * 2 + 4 * 3] = 2;  // switch 8 pin 3
    Bytes longer = good;
    longer.push_back(0);
    const struct {
        const char* name;
        Bytes bytes;
        const char* lists;  // as shown afterwards, when loaded
    } cases[] = {
        {"x.STS", good, nullptr},
        {"seven.sts", Bytes(7, 1), nullptr},
        {"ff.sts", Bytes(300, 0xFF), nullptr},
        {"two.sts", pinOf2, nullptr},
        {"longer.sts", longer, nullptr},
        {"xsts", good, "3 1 0 0 0*"},
        {"page44.sts", page44, "3 1 0 0 -*"},
    };
    const status::PrinterStatus printer = dialog->status;
    const std::string pagesBefore = PinsShown() + " " + ListsShown();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.messages.clear();
        dialog->status = printer;
        WriteBytes(PathOf(c.name), c.bytes);
        prompts.AnswerFile(PathOf(c.name));
        Press(kLoad);
        if (c.lists != nullptr) {
            EXPECT_TRUE(prompts.messages.empty());
            EXPECT_EQ(dialog->status, status::DecodeStatusImage(c.bytes.data(), c.bytes.size()));
            EXPECT_EQ(ListsShown(), c.lists);
        } else {
            EXPECT_EQ(
                prompts.messages,
                (std::vector<Message>{{"Wrong format files loaded.", MessageIcon::Exclamation}}));
            EXPECT_EQ(dialog->status, printer);
            EXPECT_EQ(PinsShown() + " " + ListsShown(), pagesBefore);
        }
    }
}

TEST_F(StatusFileCommandsTest, OnlyModel1TakesTheSerialListsFromALoadedFile) {
    status::PrinterStatus file{};
    file.switches[status::kSlotSwitch9].pins = {0, 0, 1, 1, 1, 1, 0, 0, 1};  // 115200 7 Even Xon
    WriteBytes(PathOf("serial.sts"), Image(file));
    for (const auto& [model, lists] :
         {std::pair{0, "3 1 0 0 0*"}, std::pair{1, "4* 0* 2* 1* 0*"}, std::pair{2, "3 1 0 0 0*"}}) {
        SCOPED_TRACE(model);
        Open(model);
        Press(kGet);
        prompts.AnswerFile(PathOf("serial.sts"));
        Press(kLoad);
        EXPECT_EQ(ListsShown(), lists);
        dialog.reset();
        port.Close();
        os.RemoveDevice("COM1");
    }
}

TEST_F(StatusFileCommandsTest, AFileThatCannotBeReadOrWrittenIsReportedAndChangesNothing) {
    Open(0);
    fs::create_directory(PathOf("folder.sts"));
    for (const auto& [name, reason] : {std::pair{"folder.sts", "Is a directory"},
                                       std::pair{"gone.sts", "No such file or directory"}}) {
        prompts.messages.clear();
        prompts.AnswerFile(PathOf(name));
        Press(kLoad);
        const std::string text =
            "The status could not be loaded from \"" + PathOf(name) + "\": " + reason + ".";
        EXPECT_EQ(prompts.messages, (std::vector<Message>{{text, MessageIcon::Exclamation}}));
        EXPECT_EQ(dialog->status, status::PrinterStatus{});
        EXPECT_FALSE(dialog->window().IsEnabled(StatusDialog::kSetStatusId));
        EXPECT_EQ(PinsShown(), "-------- ..");
    }

    // A folder the user may not write to: the old file there stays whole.
    Press(kInit);
    dialog->status.switches[1].pins[1] = 1;
    const fs::path folder = dir / "read-only";
    fs::create_directory(folder);
    const fs::path old = folder / "old.sts";
    WriteBytes(old, Image(status::PrinterStatus{}));
    fs::permissions(old, fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec &
                             ~fs::perms::others_exec);
    fs::permissions(dir, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    prompts.messages.clear();
    const bool reported = AsUnprivilegedUser([&] {
        prompts.AnswerFile(old.string());
        Press(kSave);
        return prompts.messages.size() == 1 &&
               prompts.messages.back() == Message{"The status could not be saved to \"" +
                                                      old.string() + "\": Permission denied.",
                                                  MessageIcon::Exclamation};
    });
    EXPECT_TRUE(reported);
    EXPECT_EQ(ReadBytes(old), Image(status::PrinterStatus{}));
    fs::permissions(folder, fs::perms::owner_all);
}

}  // namespace
}  // namespace talq::test
