#include "quorlan/transport/tcp_address.h"

#include <gtest/gtest.h>

namespace quorlan {
namespace {

struct AddressCase {
  const char* text;
  const char* host;
  int port;
};

void PrintTo(const AddressCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }

class TcpAddressParsing : public ::testing::TestWithParam<AddressCase> {};

TEST_P(TcpAddressParsing, GivesHostAndPort) {
  const auto address = ParseTcpAddress(GetParam().text);
  EXPECT_EQ(address.host, GetParam().host);
  EXPECT_EQ(address.port, GetParam().port);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TcpAddressParsing,
    ::testing::Values(AddressCase{"tcp://192.168.1.20", "192.168.1.20", 8888},
                      AddressCase{"TCP://192.168.1.20:9001/x", "192.168.1.20", 9001},
                      AddressCase{"tcp://10.0.0.7;extra", "10.0.0.7", 8888},
                      AddressCase{"tcp://10.0.0.7:0", "10.0.0.7", 0},
                      AddressCase{"tcp://10.0.0.7:65535", "10.0.0.7", 65535},
                      AddressCase{"tcp://10.0.0.7:000080", "10.0.0.7", 80},
                      AddressCase{"tcp://localhost:8000", "127.0.0.1", 8000},
                      AddressCase{"tcp://LocalHost", "127.0.0.1", 8888},
                      AddressCase{"tcp://my-reader:8000", "tcp://my-reader:8000", 8888},
                      AddressCase{"tcp://reader.example:8000", "tcp://reader.example:8000", 8888},
                      AddressCase{"192.168.1.20", "192.168.1.20", 8888},
                      AddressCase{"tcp://1.2.3.4 ", "tcp://1.2.3.4 ", 8888}));

// Ports beyond 16 bits, and digit strings beyond any integer type, are refused
// rather than narrowed or thrown.
INSTANTIATE_TEST_SUITE_P(
    OutOfRangePorts, TcpAddressParsing,
    ::testing::Values(AddressCase{"tcp://10.0.0.7:65536", "10.0.0.7", -1},
                      AddressCase{"tcp://10.0.0.7:99999999999999999999999", "10.0.0.7", -1},
                      AddressCase{"tcp://localhost:123456", "127.0.0.1", -1}));

TEST(TcpAddress, DefaultPortIsAnArgument) {
  EXPECT_EQ(ParseTcpAddress("tcp://10.1.1.1", 4000).port, 4000);
  EXPECT_EQ(ParseTcpAddress("tcp://10.1.1.1:12", 4000).port, 12);
}

TEST(TcpAddress, TellsNamesFromDottedAddresses) {
  EXPECT_FALSE(ReadTcpAddressText("tcp://10.1.1.1:80").hostName);
  EXPECT_TRUE(ReadTcpAddressText("tcp://reader_7:80").hostName);
  EXPECT_EQ(ReadTcpAddressText("tcp://reader_7:80").address.host, "reader_7");
  EXPECT_FALSE(ReadTcpAddressText("tcp://reader-7").hostName);
}

// Each form once recursed per character of the text and overflowed the stack
// on texts of some hundred thousand characters.
TEST(TcpAddress, LongTextsAreReadWithoutRecursion) {
  const std::string tail(1000000, 'x');
  struct LongCase {
    std::string text;
    std::string host;
    int port;
  };
  const LongCase cases[] = {
      {"tcp://10.0.0.7/" + tail, "10.0.0.7", 8888},
      {"tcp://10.0.0.7:81;" + tail, "10.0.0.7", 81},
      {"tcp://" + tail, tail, 8888},
      {"tcp://reader/" + tail, "reader", 8888},
      {"tcp://10.0.0.7:" + std::string(1000000, '9'), "10.0.0.7", -1},
      // A line end in the tail matches neither form.
      {"tcp://10.0.0.7/" + tail + "\n", "tcp://10.0.0.7/" + tail + "\n", 8888},
  };
  for (const LongCase& c : cases) {
    const TcpAddressText read = ReadTcpAddressText(c.text);
    EXPECT_EQ(read.address.host, c.host);
    EXPECT_EQ(read.address.port, c.port);
  }
}

}  // namespace
}  // namespace quorlan
