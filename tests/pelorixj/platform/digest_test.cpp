#include "pelorixj/platform/digest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelorixj {
namespace {

using Bytes = std::vector<uint8_t>;

std::string Hex(const Bytes& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (uint8_t b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

Bytes Of(const std::string& text) { return Bytes(text.begin(), text.end()); }

// Test vectors of FIPS 180-4 and RFC 1321.
TEST(Digest, ComputesTheStandardDigestsAndPrintsSuccess) {
  struct Case {
    const char* algorithm;
    Bytes data;
    const char* digest;
  };
  const Case cases[] = {
      {"SHA256", Of("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"SHA256", {}, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"SHA256", Of("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"SHA1", Of("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d"},
      {"MD5", Of("abc"), "900150983cd24fb0d6963f7d28e17f72"},
      {"SHA512", Of("abc"),
       "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd"
       "454d4423643ce80e2a9ac94fa54ca49f"},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStdout();
    const Bytes digest = ComputeDigest(c.data, c.algorithm);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Success!\n") << c.algorithm;
    EXPECT_EQ(Hex(digest), c.digest) << c.algorithm;
  }
}

TEST(Digest, AnUnknownAlgorithmFailsAtOpeningTheProvider) {
  // Only CNG's own spelling names an algorithm.
  for (const char* name : {"NOSUCH", "SHA-256", ""}) {
    testing::internal::CaptureStdout();
    EXPECT_TRUE(ComputeDigest(Of("abc"), name).empty()) << name;
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed.rfind("**** Error 0x", 0), 0u) << printed;
    EXPECT_NE(printed.find(" returned by BCryptOpenAlgorithmProvider\n"), std::string::npos) << printed;
  }
}

TEST(Digest, AnAbsentOrSmallOutputFailsWithoutWriting) {
  const Bytes data = Of("abc");
  struct Case {
    bool withLength;
    uint32_t room;
  };
  for (const Case& c : {Case{false, 0}, Case{true, 31}, Case{true, 0}}) {
    Bytes output(32, 0xEE);
    uint32_t length = c.room;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(WriteDigest(data.data(), 3, output.data(), c.withLength ? &length : nullptr, "SHA256"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "**** Error - output size should be large than or equal to 32");
    EXPECT_EQ(output, Bytes(32, 0xEE));
    EXPECT_EQ(length, c.room);
  }
  uint32_t length = 32;
  Bytes output(32);
  testing::internal::CaptureStdout();
  EXPECT_TRUE(WriteDigest(data.data(), 3, output.data(), &length, "SHA256"));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(Hex(output), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

}  // namespace
}  // namespace pelorixj
