// Device servers by their bytes: the addresses a ports file may hold, and the Telnet framing of
// the COM port control option, cut across reads wherever a network cuts it.
#include <gtest/gtest.h>

#include "platform/network_address.h"
#include "platform/ports_file.h"
#include "platform/telnet_codec.h"

namespace talq::platform {
namespace {

using telnet::Bytes;

TEST(NetworkAddress, ReadsTheFormsPeopleWriteAndNamesWhatIsWrong) {
    const struct {
        const char* text;
        const char* host;  // nullptr: refused
        const char* service;
        NetworkProtocol protocol;
        const char* problem;  // a part of the problem's text
    } cases[] = {
        {"rfc2217:till3.local:2001", "till3.local", "2001", NetworkProtocol::ComPortControl, ""},
        {"tcp:192.168.1.20:9100", "192.168.1.20", "9100", NetworkProtocol::RawTcp, ""},
        {"tcp:[fe80::1%eth0]:4001", "fe80::1%eth0", "4001", NetworkProtocol::RawTcp, ""},
        {"tcp:till3:65536", nullptr, "", {}, "a number from 1 to 65535"},
        {"tcp:till3:02001", nullptr, "", {}, "a number from 1 to 65535"},
        {"rfc2217:till3.local", nullptr, "", {}, "no port after the host"},
        {"rfc2217::2001", nullptr, "", {}, "no host"},
        {"tcp:fe80::1:4001", nullptr, "", {}, "in brackets"},
        {"tcp:[::1:4001", nullptr, "", {}, "no ']'"},
        {"tcp:till 3:4001", nullptr, "", {}, "not a host name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_TRUE(IsNetworkAddress(c.text));
        const auto address = ParseNetworkAddress(c.text);
        const auto problem = ProblemWithNetworkAddress(c.text);
        // The ports file takes exactly the addresses that parse, and says the same of the rest.
        EXPECT_EQ(ProblemWithDevice(c.text), problem);
        if (c.host == nullptr) {
            EXPECT_FALSE(address);
            ASSERT_TRUE(problem);
            EXPECT_NE(problem->find(c.problem), std::string::npos) << *problem;
            continue;
        }
        ASSERT_TRUE(address);
        EXPECT_EQ(address->host, c.host);
        EXPECT_EQ(address->service, c.service);
        EXPECT_EQ(address->protocol, c.protocol);
    }
    EXPECT_FALSE(IsNetworkAddress("/dev/ttyUSB0"));
    EXPECT_EQ(EndpointText(*ParseNetworkAddress("tcp:[::1]:7")), "[::1]:7");

    const PortsFileContents file =
        ParsePortsFile("COM5 = rfc2217:till3.local:2001  # kitchen\nCOM6 = tcp:till4\n");
    ASSERT_EQ(file.mappings.size(), 1u);
    EXPECT_EQ(file.mappings[0].device, "rfc2217:till3.local:2001");
    ASSERT_EQ(file.problems.size(), 1u);
    EXPECT_EQ(file.problems[0].line, 2);
}

TEST(TelnetCodec, DecodesWhateverTheReadsCutAndEncodesWhatTheServerExpects) {
    using telnet::Event;
    const struct {
        const char* what;
        std::vector<Bytes> reads;
        Bytes data;
        std::vector<Event> events;
    } cases[] = {
        {"a doubled 0xFF is one data byte, even cut in two",
         {{0x41, 0xFF}, {0xFF, 0x42}},
         {0x41, 0xFF, 0x42},
         {}},
        {"a negotiation cut after each byte", {{0xFF}, {0xFB}, {0x2C}}, {}, {{0xFB, 0x2C, {}, 0}}},
        {"a reply whose value holds 0xFF, cut inside the escape and before SE",
         {{0xFF, 0xFA, 0x2C, 0x65, 0x00, 0x00, 0x00, 0xFF}, {0xFF, 0xFF}, {0xF0}},
         {},
         {{0xFA, 0x2C, {0x65, 0x00, 0x00, 0x00, 0xFF}, 0}}},
        {"an event knows the data before it",
         {{0x31, 0xFF, 0xFD, 0x00, 0x32}},
         {0x31, 0x32},
         {{0xFD, 0x00, {}, 1}}},
        {"NOP and GA carry nothing", {{0xFF, 0xF1, 0x33, 0xFF, 0xF9}}, {0x33}, {}},
        {"a subnegotiation ended by another command",
         {{0xFF, 0xFA, 0x2C, 0x6B, 0x00, 0xFF, 0xFB, 0x01}},
         {},
         {{0xFA, 0x2C, {0x6B, 0x00}, 0}, {0xFB, 0x01, {}, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        telnet::Decoder decoder;
        Bytes data;
        std::vector<Event> events;
        for (const Bytes& read : c.reads) {
            Bytes part;
            decoder.Feed(read.data(), read.size(), part, events);
            data.insert(data.end(), part.begin(), part.end());
        }
        EXPECT_EQ(data, c.data);
        ASSERT_EQ(events.size(), c.events.size());
        for (std::size_t i = 0; i < events.size(); ++i) {
            EXPECT_EQ(events[i].verb, c.events[i].verb);
            EXPECT_EQ(events[i].option, c.events[i].option);
            EXPECT_EQ(events[i].payload, c.events[i].payload);
            EXPECT_EQ(events[i].dataBefore, c.events[i].dataBefore);
        }
    }

    const Bytes data{0x01, 0xFF, 0x02};
    EXPECT_EQ(telnet::EscapeData(data.data(), 3), (Bytes{0x01, 0xFF, 0xFF, 0x02}));
    // A data byte counts as written only once all of its wire bytes are.
    EXPECT_EQ(telnet::DataBytesSent(data.data(), 3, 2), 1u);
    EXPECT_EQ(telnet::DataBytesSent(data.data(), 3, 3), 2u);
    EXPECT_EQ(telnet::DataBytesSent(data.data(), 3, 4), 3u);
    EXPECT_EQ(telnet::ComPortCommandBytes(telnet::kSetBaudRate, telnet::BaudRateValue(19200)),
              (Bytes{0xFF, 0xFA, 0x2C, 0x01, 0x00, 0x00, 0x4B, 0x00, 0xFF, 0xF0}));
    EXPECT_EQ(telnet::ComPortCommandBytes(telnet::kSetBaudRate, telnet::BaudRateValue(255)),
              (Bytes{0xFF, 0xFA, 0x2C, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xF0}));
}

}  // namespace
}  // namespace talq::platform
