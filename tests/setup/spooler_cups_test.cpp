// Queue redirection against a real CUPS scheduler of the test's own: queues on
// pseudo-terminals that COMn/LPTn are mapped to, switched to print nowhere and
// paused while the check holds the port, and given back at the end.
#include <gtest/gtest.h>

#include <memory>

#include "platform/spooler.h"
#include "setup/spooler_redirection.h"
#include "support/private_cupsd.h"
#include "support/pty_pair.h"
#include "support/temp_dir.h"

namespace talq::setup {
namespace {

constexpr const char* kDiscard = "file:/dev/null";

class SpoolerOnCups : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { cupsd = std::make_unique<test::PrivateCupsd>(); }
    static void TearDownTestSuite() { cupsd.reset(); }

    void SetUp() override { ASSERT_TRUE(cupsd->Running()) << "no private scheduler"; }
    void TearDown() override {
        cupsd->DeleteAllQueues();
        for (const auto& variable : mapped) unsetenv(variable.c_str());
    }

    // Points `portName` at a link in the test's folder to `pty`'s slave.
    std::string Map(const std::string& portName, const std::string& linkName, test::PtyPair& pty) {
        const auto link = links.path() / linkName;
        std::filesystem::create_symlink(pty.SlavePath(), link);
        mapped.push_back("TALQ_" + portName);
        setenv(mapped.back().c_str(), link.c_str(), 1);
        return link.string();
    }

    static std::unique_ptr<test::PrivateCupsd> cupsd;
    test::TempDir links{"talq-ports"};
    test::TempDir state{"talq-state"};
    SpoolerJournal journal{state.path()};
    QueuePorts queuePorts;
    std::vector<std::string> mapped;
};

std::unique_ptr<test::PrivateCupsd> SpoolerOnCups::cupsd;

TEST_F(SpoolerOnCups, QueuesOnLpt1WaitWhileSwitchedAndPrintOnceGivenBack) {
    test::PtyPair lpt1, other;
    const std::string device = Map("LPT1", "lp0", lpt1);
    const std::string uriA = "parallel:" + device;
    const std::string uriB = "parallel:" + device + "?status=no";
    const std::string uriOther = "serial:" + other.SlavePath();
    ASSERT_TRUE(cupsd->AddQueue("receipts", uriA));
    ASSERT_TRUE(cupsd->AddQueue("kitchen", uriB));
    ASSERT_TRUE(cupsd->AddQueue("elsewhere", uriOther));

    RedirectSpoolerQueues("LPT1", queuePorts, journal);
    EXPECT_EQ(queuePorts, (QueuePorts{{"kitchen", uriB}, {"receipts", uriA}}));
    for (const char* queue : {"receipts", "kitchen"}) {
        EXPECT_EQ(cupsd->DeviceUri(queue), kDiscard) << queue;
        EXPECT_TRUE(cupsd->Paused(queue)) << queue;
    }
    const platform::QueueState switched = platform::CurrentSpooler().ReadQueue("receipts");
    EXPECT_EQ(switched.portText, kDiscard);
    EXPECT_TRUE(switched.paused);
    EXPECT_EQ(cupsd->DeviceUri("elsewhere"), uriOther);
    EXPECT_FALSE(cupsd->Paused("elsewhere"));

    ASSERT_TRUE(cupsd->Submit("receipts", "held job\n"));
    EXPECT_EQ(cupsd->PendingJobs("receipts"), 1);

    RestoreSpoolerQueues(queuePorts, journal);
    EXPECT_TRUE(queuePorts.empty());
    EXPECT_EQ(cupsd->DeviceUri("receipts"), uriA);
    EXPECT_EQ(cupsd->DeviceUri("kitchen"), uriB);
    EXPECT_FALSE(cupsd->Paused("receipts"));
    EXPECT_FALSE(cupsd->Paused("kitchen"));
    const auto printed = lpt1.Read(9, 15000);
    EXPECT_EQ(std::string(printed.begin(), printed.end()), "held job\n");
    EXPECT_TRUE(SpoolerJournal::FilesIn(state.path()).empty());
}

TEST_F(SpoolerOnCups, Com1TakesOnlyQueuesOnItsOwnDeviceAndGivesTheirUrisBack) {
    test::PtyPair com1, com10;
    const std::string device1 = Map("COM1", "tty1", com1);
    const std::string plain = "serial:" + device1;
    const std::string withBaud = "serial:" + device1 + "?baud=19200";
    const std::string uri10 = "serial:" + Map("COM10", "tty10", com10) + "?baud=9600";
    ASSERT_TRUE(cupsd->AddQueue("one", plain));
    ASSERT_TRUE(cupsd->AddQueue("ten", uri10));
    ASSERT_TRUE(cupsd->AddQueue("one-baud", withBaud));

    // Two checks in a row: the second finds nothing more to record.
    RedirectSpoolerQueues("COM1", queuePorts, journal);
    RedirectSpoolerQueues("COM1", queuePorts, journal);
    EXPECT_EQ(queuePorts, (QueuePorts{{"one", plain}, {"one-baud", withBaud}}));
    EXPECT_EQ(cupsd->DeviceUri("one"), kDiscard);
    EXPECT_EQ(cupsd->DeviceUri("one-baud"), kDiscard);
    EXPECT_EQ(cupsd->DeviceUri("ten"), uri10);
    EXPECT_FALSE(cupsd->Paused("ten"));

    RestoreSpoolerQueues(queuePorts, journal);
    EXPECT_EQ(cupsd->DeviceUri("one"), plain);
    EXPECT_EQ(cupsd->DeviceUri("one-baud"), withBaud);
    EXPECT_EQ(cupsd->DeviceUri("ten"), uri10);
}

TEST_F(SpoolerOnCups, NothingHappensWithoutAQueueOnThePortOrOverUsb) {
    test::PtyPair com2, com3;
    Map("COM2", "tty2", com2);
    const std::string uri = "serial:" + Map("COM3", "tty3", com3);
    ASSERT_TRUE(cupsd->AddQueue("three", uri));
    cupsd->Client("cupsdisable three");

    RedirectSpoolerQueues("COM2", queuePorts, journal);
    RedirectSpoolerQueues("520plus:" + com3.SlavePath(), queuePorts, journal);
    EXPECT_TRUE(queuePorts.empty());
    RestoreSpoolerQueues(queuePorts, journal);
    EXPECT_EQ(cupsd->DeviceUri("three"), uri);

    // A queue paused by its owner stays paused after the round trip.
    RedirectSpoolerQueues("COM3", queuePorts, journal);
    EXPECT_EQ(cupsd->DeviceUri("three"), kDiscard);
    RestoreSpoolerQueues(queuePorts, journal);
    EXPECT_EQ(cupsd->DeviceUri("three"), uri);
    EXPECT_TRUE(cupsd->Paused("three"));
}

// Two port names mapped to one device share its queue: it is given back once, when the last of
// them is done, paused or not as it was before the first.
TEST_F(SpoolerOnCups, AQueueTwoPortsShareIsGivenBackWhenTheLastIsDone) {
    test::PtyPair printer;
    const std::string uri = "serial:" + Map("COM4", "tty4", printer);
    mapped.push_back("TALQ_COM5");
    setenv("TALQ_COM5", getenv("TALQ_COM4"), 1);
    const struct {
        bool pausedBefore;
        bool com4DoneFirst;
    } cases[] = {{false, true}, {false, false}, {true, true}, {true, false}};
    for (const auto& c : cases) {
        ASSERT_TRUE(cupsd->AddQueue("shared", uri));
        if (c.pausedBefore) cupsd->Client("cupsdisable shared");
        QueuePorts com4, com5;
        RedirectSpoolerQueues("COM4", com4, journal);
        RedirectSpoolerQueues("COM5", com5, journal);
        EXPECT_EQ(com5, (QueuePorts{{"shared", uri}}));
        RestoreSpoolerQueues(c.com4DoneFirst ? com4 : com5, journal);
        EXPECT_EQ(cupsd->DeviceUri("shared"), kDiscard) << "the other port still prints";
        EXPECT_TRUE(cupsd->Paused("shared"));
        RestoreSpoolerQueues(c.com4DoneFirst ? com5 : com4, journal);
        EXPECT_EQ(cupsd->DeviceUri("shared"), uri);
        EXPECT_EQ(cupsd->Paused("shared"), c.pausedBefore);
        EXPECT_TRUE(journal.Entries().empty());
        cupsd->DeleteQueue("shared");
    }
}

TEST_F(SpoolerOnCups, AQueueDeletedMeanwhileIsSkippedAndNotMadeAgain) {
    test::PtyPair lpt2;
    const std::string uri = "parallel:" + Map("LPT2", "lp1", lpt2);
    ASSERT_TRUE(cupsd->AddQueue("doomed", uri));
    ASSERT_TRUE(cupsd->AddQueue("kept", uri));
    RedirectSpoolerQueues("LPT2", queuePorts, journal);
    ASSERT_EQ(queuePorts.size(), 2u);
    ASSERT_TRUE(cupsd->DeleteQueue("doomed"));

    RestoreSpoolerQueues(queuePorts, journal);
    EXPECT_FALSE(cupsd->Exists("doomed"));
    EXPECT_EQ(cupsd->DeviceUri("kept"), uri);
    EXPECT_TRUE(SpoolerJournal::FilesIn(state.path()).empty());
}

}  // namespace
}  // namespace talq::setup
