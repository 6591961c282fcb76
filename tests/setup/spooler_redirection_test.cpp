// Queue redirection step by step against a scripted spooler: what is recorded,
// switched, paused, journalled and given back.
#include "setup/spooler_redirection.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "setup/spooler_recovery.h"
#include "support/environment.h"
#include "support/fake_spooler.h"
#include "support/temp_dir.h"

namespace talq::setup {
namespace {

using Calls = std::vector<std::string>;

constexpr const char* kDiscard = "file:/dev/null";

class SpoolerRedirection : public ::testing::Test {
  protected:
    void SetUp() override {
        test::SetEnvironment("TALQ_COM1", "/dev/pts/901");
        test::SetEnvironment("TALQ_COM2", "/dev/pts/903");
        test::SetEnvironment("TALQ_LPT1", "/dev/pts/902");
    }
    void TearDown() override {
        test::ClearEnvironment("TALQ_COM1");
        test::ClearEnvironment("TALQ_COM2");
        test::ClearEnvironment("TALQ_LPT1");
    }

    std::size_t JournalFiles() const { return SpoolerJournal::FilesIn(dir.path()).size(); }

    test::FakeSpooler spooler;
    test::ScopedSpooler installed{spooler};
    test::TempDir dir{"talq-journal"};
    SpoolerJournal journal{dir.path()};
    QueuePorts queuePorts;
};

TEST_F(SpoolerRedirection, AFailedReadLeavesLaterQueuesRecordedButUnswitched) {
    spooler.queues = {{"first", "serial:/dev/pts/901?baud=9600"},
                      {"other", "serial:/dev/pts/7"},
                      {"second", "serial:/dev/pts/901"},
                      {"third", "serial:/dev/pts/901"}};
    spooler.failingReads = {"second"};

    RedirectSpoolerQueues("COM1", queuePorts, journal);

    EXPECT_EQ(queuePorts, (QueuePorts{{"first", "serial:/dev/pts/901?baud=9600"},
                                      {"second", "serial:/dev/pts/901"},
                                      {"third", "serial:/dev/pts/901"}}));
    EXPECT_EQ(spooler.calls,
              (Calls{"read first", "pause first", std::string("set first ") + kDiscard,
                     "read second", "read third"}));
    EXPECT_TRUE(spooler.Find("first")->paused);
    EXPECT_EQ(spooler.Find("third")->portText, "serial:/dev/pts/901");
    ASSERT_EQ(journal.Entries().size(), 1u);
    EXPECT_EQ(JournalFiles(), 1u);

    spooler.calls.clear();
    spooler.failingReads.clear();
    RestoreSpoolerQueues(queuePorts, journal);
    EXPECT_TRUE(queuePorts.empty());
    EXPECT_EQ(spooler.Find("first")->portText, "serial:/dev/pts/901?baud=9600");
    EXPECT_FALSE(spooler.Find("first")->paused);
    // Queues that were never switched are read and left as they are.
    EXPECT_EQ(spooler.calls, (Calls{"read first", "set first serial:/dev/pts/901?baud=9600",
                                    "resume first", "read second", "read third"}));
    EXPECT_TRUE(journal.Entries().empty());
    EXPECT_EQ(JournalFiles(), 0u);
}

TEST_F(SpoolerRedirection, WhatIsNeverTouched) {
    spooler.queues = {{"lpt", "parallel:/dev/pts/902"}, {"com", "serial:/dev/pts/901"}};
    RedirectSpoolerQueues("520plus:/dev/usb/lp0", queuePorts, journal);  // USB
    RedirectSpoolerQueues("COM2", queuePorts, journal);                  // no queue on it
    RedirectSpoolerQueues("COM0", queuePorts, journal);                  // no device at all
    EXPECT_TRUE(queuePorts.empty());
    EXPECT_TRUE(spooler.calls.empty());
    RestoreSpoolerQueues(queuePorts, journal);
    EXPECT_TRUE(spooler.calls.empty());
    EXPECT_EQ(JournalFiles(), 0u);
}

TEST_F(SpoolerRedirection, AQueuePausedBeforeStaysPausedAndAVanishedOneIsSkipped) {
    spooler.queues = {{"held", "parallel:/dev/pts/902", true},
                      {"gone", "parallel:/dev/pts/902"},
                      {"later", "parallel:/dev/pts/902"}};
    spooler.vanishingOnRead = {"gone"};
    RedirectSpoolerQueues("LPT1", queuePorts, journal);
    EXPECT_EQ(queuePorts.size(), 3u);
    EXPECT_EQ(spooler.Find("held")->portText, kDiscard);
    EXPECT_EQ(spooler.Find("later")->portText, kDiscard);

    // A second check on the same port finds nothing on it any more.
    RedirectSpoolerQueues("LPT1", queuePorts, journal);
    EXPECT_EQ(queuePorts.at("held"), "parallel:/dev/pts/902");

    spooler.queues.erase(spooler.queues.begin() + 1);  // "later" deleted meanwhile
    spooler.calls.clear();
    RestoreSpoolerQueues(queuePorts, journal);
    EXPECT_EQ(spooler.calls,
              (Calls{"read gone", "read held", "set held parallel:/dev/pts/902", "read later"}));
    EXPECT_TRUE(spooler.Find("held")->paused);
    EXPECT_EQ(spooler.Find("later"), nullptr);  // not brought back to life
    EXPECT_EQ(JournalFiles(), 0u);
}

TEST_F(SpoolerRedirection, NoJournalNoSwitch) {
    spooler.queues = {{"com", "serial:/dev/pts/901"}};
    SpoolerJournal unwritable(dir.path() / "not-a-folder" / "x");
    std::FILE* blocker = std::fopen((dir.path() / "not-a-folder").string().c_str(), "w");
    std::fclose(blocker);
    RedirectSpoolerQueues("COM1", queuePorts, unwritable);
    EXPECT_EQ(queuePorts.size(), 1u);
    EXPECT_EQ(spooler.Find("com")->portText, "serial:/dev/pts/901");
    EXPECT_FALSE(spooler.Find("com")->paused);
}

TEST_F(SpoolerRedirection, RestoreAllIsIdempotentAndTheDialogsRestoreThenChangesNothing) {
    spooler.queues = {{"com", "serial:/dev/pts/901"}};
    RedirectSpoolerQueues("COM1", queuePorts, journal);
    RestoreAllSpoolerQueues(journal);
    RestoreAllSpoolerQueues(journal);
    EXPECT_EQ(spooler.Find("com")->portText, "serial:/dev/pts/901");
    EXPECT_FALSE(spooler.Find("com")->paused);
    spooler.calls.clear();
    RestoreSpoolerQueues(queuePorts, journal);
    EXPECT_EQ(spooler.calls, (Calls{"read com"}));
}

TEST_F(SpoolerRedirection, RecoveryGivesBackOnlyWhatADeadRunLeftDiscarding) {
    spooler.queues = {
        {"a", "serial:/dev/pts/901"}, {"b", "serial:/dev/pts/901"}, {"c", "serial:/dev/pts/901"}};
    std::optional<SpoolerJournal> dead(std::in_place, dir.path());
    RedirectSpoolerQueues("COM1", queuePorts, *dead);
    spooler.Find("b")->portText = "serial:/dev/pts/5";  // changed by someone since
    spooler.failingReads = {"c"};

    RecoverSpoolerQueues(dir.path());  // the run is still alive: its journal is left alone
    EXPECT_EQ(spooler.Find("a")->portText, kDiscard);

    dead.reset();  // the run ends without giving anything back
    RecoverSpoolerQueues(dir.path());
    EXPECT_EQ(spooler.Find("a")->portText, "serial:/dev/pts/901");
    EXPECT_FALSE(spooler.Find("a")->paused);
    EXPECT_EQ(spooler.Find("b")->portText, "serial:/dev/pts/5");
    EXPECT_TRUE(spooler.Find("b")->paused);
    EXPECT_EQ(JournalFiles(), 1u);  // "c" could not be read: kept for the next start

    spooler.failingReads.clear();
    RecoverSpoolerQueues(dir.path());
    EXPECT_EQ(spooler.Find("c")->portText, "serial:/dev/pts/901");
    EXPECT_EQ(JournalFiles(), 0u);
}

TEST_F(SpoolerRedirection, JournalKeepsTextsWithAwkwardCharacters) {
    const JournalEntry odd{"/tmp/a b\tc%", "q\n1", "serial:/dev/x%20y\r", true};
    {
        SpoolerJournal own(dir.path());
        ASSERT_TRUE(own.Add(odd));
        ASSERT_TRUE(own.Add({"s", "q2", "p", false}));
        own.Drop("s", "q2");
    }
    const auto files = SpoolerJournal::FilesIn(dir.path());
    ASSERT_EQ(files.size(), 1u);
    auto stale = SpoolerJournal::TakeOver(files[0]);
    ASSERT_TRUE(stale);
    ASSERT_EQ(stale->Entries().size(), 1u);
    const JournalEntry read = stale->Entries()[0];
    EXPECT_EQ(read.scheduler, odd.scheduler);
    EXPECT_EQ(read.queue, odd.queue);
    EXPECT_EQ(read.previousPort, odd.previousPort);
    EXPECT_TRUE(read.pausedByUs);
}

}  // namespace
}  // namespace talq::setup
