// The hidraw device's read path, run on a named pipe: no HID device exists
// on the build machines, but poll and read behave alike on both.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <random>
#include <string>
#include <vector>

#include "eventually.h"
#include "quorlan/platform/hidraw_backend.h"

namespace quorlan {
namespace platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class HidrawOnPipe : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    pipe_ = fs::temp_directory_path() / ("quorlan-hidraw-" + std::to_string(random()) + std::to_string(random()));
    ASSERT_EQ(std::system(("mkfifo '" + pipe_.string() + "'").c_str()), 0);
    device_ = backend_.Open(pipe_.string());
    ASSERT_NE(device_, nullptr);
  }
  void TearDown() override {
    device_.reset();
    fs::remove(pipe_);
  }

  void Send(const std::vector<uint8_t>& bytes) {
    std::ofstream writer(pipe_, std::ios::binary);
    writer.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  HidrawBackend backend_{"/nonexistent", "/dev"};
  fs::path pipe_;
  std::unique_ptr<HidDevice> device_;
};

TEST_F(HidrawOnPipe, DeviceWithoutReadableDescriptorHasNoLengths) {
  HidReportLengths lengths;
  EXPECT_FALSE(device_->GetReportLengths(&lengths));
}

TEST_F(HidrawOnPipe, FeatureReportCallsFailOffHidraw) {
  std::vector<uint8_t> report(65, 0);
  EXPECT_FALSE(device_->GetFeatureReport(report.data(), report.size()));
  EXPECT_FALSE(device_->SetFeatureReport(report.data(), report.size()));
}

TEST_F(HidrawOnPipe, UnnumberedReportGetsItsReportIdBack) {
  Send({0x00, 0x03, 0x41, 0x42, 0x43});
  std::vector<uint8_t> buffer(65, 0xEE);
  const HidReadResult result = device_->ReadInput(buffer.data(), buffer.size());
  ASSERT_EQ(result.status, HidReadResult::Status::kReport);
  ASSERT_EQ(result.length, 6u);
  EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 6),
            (std::vector<uint8_t>{0x00, 0x00, 0x03, 0x41, 0x42, 0x43}));
}

TEST_F(HidrawOnPipe, ReadTakesNoMoreThanTheBufferHolds) {
  Send(std::vector<uint8_t>(10, 0x5A));
  std::vector<uint8_t> buffer(5, 0);
  const HidReadResult result = device_->ReadInput(buffer.data(), buffer.size());
  ASSERT_EQ(result.status, HidReadResult::Status::kReport);
  EXPECT_EQ(result.length, 5u);
}

TEST_F(HidrawOnPipe, StopEndsAWaitingReadAtOnceAndEveryLaterOne) {
  std::vector<uint8_t> buffer(65);
  auto read = std::async(std::launch::async, [&] { return device_->ReadInput(buffer.data(), buffer.size()); });
  EXPECT_EQ(read.wait_for(100ms), std::future_status::timeout);
  const auto stopped = std::chrono::steady_clock::now();
  device_->StopReads();
  ASSERT_EQ(read.wait_for(test_support::kRoomyWait), std::future_status::ready);
  EXPECT_LT(std::chrono::steady_clock::now() - stopped, 1s);
  EXPECT_EQ(read.get().status, HidReadResult::Status::kStopped);

  Send({0x01});
  EXPECT_EQ(device_->ReadInput(buffer.data(), buffer.size()).status, HidReadResult::Status::kStopped);
}

TEST(HidrawBackend, MissingDeviceDoesNotOpen) {
  HidrawBackend backend("/nonexistent", "/dev");
  EXPECT_EQ(backend.Open("/nonexistent/hidraw0"), nullptr);
}

}  // namespace
}  // namespace platform
}  // namespace quorlan
