#include "quorlan/transport/usb_connection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "eventually.h"
#include "quorlan/platform/win32_error.h"
#include "virtual_hid.h"

namespace quorlan {
namespace {

using namespace std::chrono_literals;
using test_support::kRoomyWait;
using Bytes = std::vector<uint8_t>;

constexpr uint16_t kVendor = 0x7A3B;
constexpr uint16_t kProduct = 0x3A11;

// Collects what another thread hands over, so tests can wait for it.
template <typename T>
class Inbox {
 public:
  void Put(T item) {
    std::lock_guard<std::mutex> lock(mutex_);
    items_.push_back(std::move(item));
    arrived_.notify_all();
  }
  bool WaitFor(size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, kRoomyWait, [&] { return items_.size() >= count; });
  }
  std::vector<T> Items() {
    std::lock_guard<std::mutex> lock(mutex_);
    return items_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<T> items_;
};

struct Entry {
  std::string path;
  std::string text;
};

class UsbConnectionTest : public ::testing::Test {
 protected:
  std::shared_ptr<VirtualHidDevice> AddReader(
      const std::string& path,
      std::optional<platform::HidReportLengths> lengths = platform::HidReportLengths{65, 65, 0}) {
    auto device = backend_->AddDevice(path, kVendor, kProduct, "SN-" + path, "Card Reader");
    device->SetReportLengths(lengths);
    return device;
  }

  std::vector<Entry> List(bool stopAtFirst, bool* result) {
    std::vector<Entry> entries;
    USBConnection lister(backend_);
    *result = lister.GetDeviceList(
        [&](std::string path, std::string text) {
          entries.push_back({path, text});
          return stopAtFirst;
        },
        "ignored");
    return entries;
  }

  std::shared_ptr<VirtualHidBackend> backend_ = std::make_shared<VirtualHidBackend>();
};

TEST_F(UsbConnectionTest, ListsOnlyAcceptedReadersInEnumerationOrder) {
  AddReader("reader-a");
  backend_->AddDevice("same-maker-other-product", kVendor, 0x1111);
  backend_->AddDevice("other-maker-same-product", 0x1234, kProduct);
  AddReader("reader-b");
  bool result = false;
  const auto entries = List(false, &result);
  EXPECT_TRUE(result);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].path, "reader-a");
  EXPECT_EQ(entries[0].text,
            R"({"DSN":"SN-reader-a","Name":"SN-reader-a","Product":"Card Reader","PID":"3A11",)"
            R"("VID":"7A3B","Path":"reader-a"})");
  EXPECT_EQ(entries[1].path, "reader-b");
}

TEST_F(UsbConnectionTest, CallbackReturningTrueStopsAfterTheFirstReader) {
  AddReader("reader-a");
  AddReader("reader-b");
  bool result = false;
  const auto entries = List(true, &result);
  EXPECT_TRUE(result);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].path, "reader-a");
}

TEST_F(UsbConnectionTest, NoAcceptedReaderGivesFalseWithoutCallback) {
  backend_->AddDevice("same-maker-other-product", kVendor, 0x1111);
  bool result = true;
  EXPECT_TRUE(List(false, &result).empty());
  EXPECT_FALSE(result);
}

TEST_F(UsbConnectionTest, UnreadableDeviceListGivesFalse) {
  AddReader("reader-a");
  backend_->SetEnumerationFails(true);
  bool result = true;
  EXPECT_TRUE(List(false, &result).empty());
  EXPECT_FALSE(result);
}

TEST_F(UsbConnectionTest, EmptyCallbackThrowsOnlyWhenAReaderIsFound) {
  USBConnection lister(backend_);
  backend_->AddDevice("same-maker-other-product", kVendor, 0x1111);
  EXPECT_FALSE(lister.GetDeviceList(nullptr, ""));
  AddReader("reader-a");
  EXPECT_THROW(lister.GetDeviceList(nullptr, ""), std::bad_function_call);
}

TEST_F(UsbConnectionTest, EntryEscapesEveryValueWhileCallbackGetsTheRawPath) {
  const std::string path = R"(\\?\hid#vid_7a3b&pid_3a11#7&1a2b&0&0000#{4d1e55b2-f16f-11cf})";
  backend_->AddDevice(path, kVendor, kProduct, "KV\"01\\", "Reader\x01");
  bool result = false;
  const auto entries = List(false, &result);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].path, path);
  EXPECT_EQ(entries[0].text,
            R"({"DSN":"KV\"01\\","Name":"KV\"01\\","Product":"Reader\u0001","PID":"3A11","VID":"7A3B",)"
            R"("Path":"\\\\?\\hid#vid_7a3b&pid_3a11#7&1a2b&0&0000#{4d1e55b2-f16f-11cf}"})");
}

TEST_F(UsbConnectionTest, StringsAreCutAtWhatWindowsReturns) {
  backend_->AddDevice("reader-a", kVendor, kProduct, std::string(40, '7'), std::string(33, 'P'));
  bool result = false;
  const auto entries = List(false, &result);
  ASSERT_EQ(entries.size(), 1u);
  const std::string serial(32, '7');
  EXPECT_EQ(entries[0].text, "{\"DSN\":\"" + serial + "\",\"Name\":\"" + serial + "\",\"Product\":\"" +
                                 std::string(32, 'P') + R"(","PID":"3A11","VID":"7A3B","Path":"reader-a"})");
}

TEST_F(UsbConnectionTest, OpensTheGivenPath) {
  AddReader("reader-a");
  auto b = AddReader("reader-b");
  USBConnection connection("reader-b", backend_);
  EXPECT_FALSE(connection.IsConnected());
  ASSERT_EQ(connection.Open(), kConnectionOk);
  EXPECT_TRUE(connection.IsConnected());
  EXPECT_TRUE(b->IsOpen());
  EXPECT_EQ(backend_->OpenCount(), 1);
}

TEST_F(UsbConnectionTest, OpenOnAnOpenConnectionKeepsItsDevice) {
  auto device = AddReader("reader");
  USBConnection connection("reader", backend_);
  ASSERT_EQ(connection.Open(), kConnectionOk);
  EXPECT_EQ(connection.Open(), kConnectionOk);
  EXPECT_EQ(backend_->OpenCount(), 1);
  EXPECT_EQ(device->Log(), (std::vector<std::string>{"open"}));
}

TEST_F(UsbConnectionTest, EmptyPathOpensTheFirstAcceptedReader) {
  backend_->AddDevice("other-maker", 0x1234, kProduct);
  auto first = AddReader("reader-a");
  auto second = AddReader("reader-b");
  USBConnection connection("", backend_);
  ASSERT_EQ(connection.Open(), kConnectionOk);
  EXPECT_EQ(connection.DevicePath(), "reader-a");
  EXPECT_TRUE(first->IsOpen());
  EXPECT_FALSE(second->IsOpen());
}

TEST_F(UsbConnectionTest, OpenFailuresReturn5) {
  const std::function<std::string(VirtualHidBackend&)> setups[] = {
      [](VirtualHidBackend& backend) {
        backend.AddDevice("other-product", kVendor, 0x1111);
        return std::string();
      },
      [](VirtualHidBackend& backend) {
        backend.AddDevice("reader-a", kVendor, kProduct);
        return std::string("no-such-device");
      },
      [](VirtualHidBackend& backend) {
        backend.AddDevice("reader-a", kVendor, kProduct)->SetOpenFails(true);
        return std::string("reader-a");
      },
      [](VirtualHidBackend& backend) {
        backend.AddDevice("reader-a", kVendor, kProduct)->SetOpenFails(true);
        return std::string();
      },
  };
  for (const auto& setup : setups) {
    auto backend = std::make_shared<VirtualHidBackend>();
    USBConnection connection(setup(*backend), backend);
    EXPECT_EQ(connection.Open(), kConnectionOpenFailed);
    EXPECT_FALSE(connection.IsConnected());
    const Bytes data(3, 0x11);
    EXPECT_EQ(connection.Write(data.data(), 3), kConnectionNotOpen);
  }
}

struct WriteCase {
  std::string name;
  platform::HidReportLengths lengths;
  size_t dataLength;
  bool outputFails;
  bool featureFails;
  int result;
  size_t outputReports;
  size_t featureReports;
};

void PrintTo(const WriteCase& c, std::ostream* out) { *out << c.name; }

const std::vector<WriteCase> kWrites = {
    {"ShortDataPaddedToTheOutputReport", {65, 65, 0}, 10, false, false, kConnectionOk, 1, 0},
    {"FullOutputReport", {65, 65, 0}, 65, false, false, kConnectionOk, 1, 0},
    {"EmptyDataSendsAZeroReport", {65, 65, 0}, 0, false, false, kConnectionOk, 1, 0},
    {"OutputPreferredOverFeature", {65, 65, 9}, 5, false, false, kConnectionOk, 1, 0},
    {"NoOutputReportFallsBackToFeature", {65, 0, 33}, 10, false, false, kConnectionOk, 0, 1},
    {"NoOutputNorFeatureReport", {65, 0, 0}, 10, false, false, kConnectionReportFailed, 0, 0},
    {"DeviceRefusesOutputReport", {65, 65, 0}, 10, true, false, kConnectionReportFailed, 0, 0},
    {"DeviceRefusesFeatureReport", {65, 0, 33}, 10, false, true, kConnectionReportFailed, 0, 0},
    {"DataLongerThanTheReport", {65, 65, 0}, 66, false, false, kConnectionReportFailed, 0, 0},
    {"DataLongerThanTheFeatureReport", {65, 0, 33}, 34, false, false, kConnectionReportFailed, 0, 0},
};

class UsbWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(UsbWrite, SendsOneZeroPaddedReport) {
  const WriteCase& c = GetParam();
  auto backend = std::make_shared<VirtualHidBackend>();
  auto device = backend->AddDevice("reader", kVendor, kProduct);
  device->SetReportLengths(c.lengths);
  device->SetOutputReportsFail(c.outputFails);
  device->SetFeatureReportsFail(c.featureFails);
  USBConnection connection("reader", backend);
  ASSERT_EQ(connection.Open(), kConnectionOk);

  Bytes data(c.dataLength);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i + 1);
  EXPECT_EQ(connection.Write(data.data(), static_cast<unsigned>(data.size())), c.result);

  const auto output = device->OutputReports();
  const auto feature = device->FeatureReports();
  ASSERT_EQ(output.size(), c.outputReports);
  ASSERT_EQ(feature.size(), c.featureReports);
  if (output.empty() && feature.empty()) return;
  const Bytes& sent = output.empty() ? feature[0] : output[0];
  Bytes expected = data;
  expected.resize(static_cast<size_t>(output.empty() ? c.lengths.feature : c.lengths.output), 0);
  EXPECT_EQ(sent, expected);
}

INSTANTIATE_TEST_SUITE_P(Reports, UsbWrite, ::testing::ValuesIn(kWrites),
                         [](const auto& info) { return info.param.name; });

TEST_F(UsbConnectionTest, UnreadableLayoutUses65ByteReports) {
  auto device = AddReader("reader", std::nullopt);
  USBConnection connection("reader", backend_);
  ASSERT_EQ(connection.Open(), kConnectionOk);
  const Bytes data = {0x00, 0x00, 0x01, 0x55};
  ASSERT_EQ(connection.Write(data.data(), 4), kConnectionOk);
  ASSERT_EQ(device->OutputReports().size(), 1u);
  EXPECT_EQ(device->OutputReports()[0].size(), 65u);
}

TEST_F(UsbConnectionTest, ClosedConnectionTransfersNothing) {
  auto device = AddReader("reader");
  USBConnection connection("reader", backend_);
  const Bytes data(10, 0x22);
  EXPECT_EQ(connection.Write(data.data(), 10), kConnectionNotOpen);
  EXPECT_EQ(connection.TransferReport(data.data(), 10, 7), kConnectionNotOpen);
  ASSERT_EQ(connection.Open(), kConnectionOk);
  EXPECT_EQ(connection.Close(), kConnectionOk);
  EXPECT_FALSE(connection.IsConnected());
  EXPECT_EQ(connection.Write(data.data(), 10), kConnectionNotOpen);
  EXPECT_EQ(connection.TransferReport(nullptr, 0, USBConnection::kReadFeatureReport), kConnectionNotOpen);
  EXPECT_EQ(device->Log(), (std::vector<std::string>{"open", "close"}));
}

TEST_F(UsbConnectionTest, UnknownTransferModeReturns6) {
  auto device = AddReader("reader");
  USBConnection connection("reader", backend_);
  ASSERT_EQ(connection.Open(), kConnectionOk);
  const Bytes data(10, 0x22);
  EXPECT_EQ(connection.TransferReport(data.data(), 10, 2), kConnectionUnknownTransferMode);
  EXPECT_EQ(connection.TransferReport(data.data(), 10, -1), kConnectionUnknownTransferMode);
  EXPECT_TRUE(device->OutputReports().empty());
}

TEST_F(UsbConnectionTest, FeatureReportReadIsDeliveredAsReceivedData) {
  auto device = AddReader("reader", platform::HidReportLengths{65, 65, 9});
  device->SetFeatureReportReply({0x00, 0x01, 0x02, 0x03});
  USBConnection connection("reader", backend_);
  Inbox<Bytes> received;
  connection.SetDataCallback([&](uint8_t* data, unsigned length) { received.Put(Bytes(data, data + length)); });
  ASSERT_EQ(connection.Open(), kConnectionOk);
  EXPECT_EQ(connection.TransferReport(nullptr, 0, USBConnection::kReadFeatureReport), kConnectionOk);
  ASSERT_EQ(received.Items().size(), 1u);
  EXPECT_EQ(received.Items()[0], (Bytes{0x00, 0x01, 0x02, 0x03, 0, 0, 0, 0, 0}));

  device->SetFeatureReportsFail(true);
  EXPECT_EQ(connection.TransferReport(nullptr, 0, USBConnection::kReadFeatureReport), kConnectionReportFailed);
  EXPECT_EQ(received.Items().size(), 1u);
}

TEST_F(UsbConnectionTest, FeatureReportReadWithoutFeatureReportFails) {
  AddReader("reader", platform::HidReportLengths{65, 65, 0});
  USBConnection connection("reader", backend_);
  ASSERT_EQ(connection.Open(), kConnectionOk);
  EXPECT_EQ(connection.TransferReport(nullptr, 0, USBConnection::kReadFeatureReport), kConnectionReportFailed);
}

TEST_F(UsbConnectionTest, InputReportsReachTheDataCallbackInOrderOnTheReaderThread) {
  auto device = AddReader("reader");
  USBConnection connection("reader", backend_);
  Inbox<Bytes> received;
  std::thread::id readerThread;
  connection.SetDataCallback([&](uint8_t* data, unsigned length) {
    readerThread = std::this_thread::get_id();
    received.Put(Bytes(data, data + length));
  });
  ASSERT_EQ(connection.Open(), kConnectionOk);
  Bytes first(65, 0);
  first[1] = 0x00;
  first[2] = 0x03;
  first[3] = 0x41;
  const Bytes second = {0x00, 0x03, 0x02, 0x42, 0x43};
  device->DeliverInputReport(first);
  device->DeliverInputReport(second);
  ASSERT_TRUE(received.WaitFor(2));
  EXPECT_EQ(received.Items(), (std::vector<Bytes>{first, second}));
  EXPECT_NE(readerThread, std::this_thread::get_id());
}

TEST_F(UsbConnectionTest, InputReportsWaitInTheRingWithoutDataCallback) {
  auto device = AddReader("reader");
  USBConnection connection("reader", backend_);
  ASSERT_EQ(connection.Open(), kConnectionOk);
  device->DeliverInputReport({0x00, 0x00, 0x02, 0x10, 0x20});
  ASSERT_TRUE(device->WaitForPendingRead(kRoomyWait));
  Bytes out(16);
  unsigned length = static_cast<unsigned>(out.size());
  connection.Read(out.data(), &length);
  out.resize(length);
  EXPECT_EQ(out, (Bytes{0x00, 0x00, 0x02, 0x10, 0x20}));
}

TEST_F(UsbConnectionTest, ReadErrorsArePostedOffTheReaderThread) {
  auto device = AddReader("reader");
  USBConnection connection("reader", backend_);
  Inbox<std::pair<int, std::thread::id>> states;
  Inbox<std::thread::id> readerThreads;
  connection.SetDataCallback([&](uint8_t*, unsigned) { readerThreads.Put(std::this_thread::get_id()); });
  connection.SetStateCallback([&](int state) { states.Put({state, std::this_thread::get_id()}); });
  ASSERT_EQ(connection.Open(), kConnectionOk);

  // A failed completion leaves the reader reading; a read that cannot start
  // ends it.
  device->FailReadInFlight(platform::win32_error::kDeviceNotConnected);
  device->DeliverInputReport({0x00, 0x00, 0x01, 0x7F});
  device->FailReadStart(platform::win32_error::kGenFailure);
  ASSERT_TRUE(states.WaitFor(2));
  ASSERT_TRUE(readerThreads.WaitFor(1));

  // Each report runs on a thread of its own, so their order is not fixed.
  auto posted = states.Items();
  std::sort(posted.begin(), posted.end());
  ASSERT_EQ(posted.size(), 2u);
  EXPECT_EQ(posted[0].first, static_cast<int>(platform::win32_error::kGenFailure));
  EXPECT_EQ(posted[1].first, static_cast<int>(platform::win32_error::kDeviceNotConnected));
  for (const auto& state : posted) {
    EXPECT_NE(state.second, readerThreads.Items()[0]);
    EXPECT_NE(state.second, std::this_thread::get_id());
  }
  EXPECT_FALSE(device->WaitForPendingRead(200ms));
  // The link itself stays open until the owner closes it.
  EXPECT_TRUE(connection.IsConnected());
}

TEST_F(UsbConnectionTest, CloseReturnsPromptlyWhileAReadIsPending) {
  auto device = AddReader("reader");
  USBConnection connection("reader", backend_);
  ASSERT_EQ(connection.Open(), kConnectionOk);
  ASSERT_TRUE(device->WaitForPendingRead(kRoomyWait));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(connection.Close(), kConnectionOk);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  EXPECT_FALSE(device->IsOpen());
  EXPECT_FALSE(connection.IsConnected());
}

TEST_F(UsbConnectionTest, CloseWaitsForTheCancelledReadToComplete) {
  auto device = AddReader("reader");
  device->SetCancelDelay(100ms);
  USBConnection connection("reader", backend_);
  ASSERT_EQ(connection.Open(), kConnectionOk);
  ASSERT_TRUE(device->WaitForPendingRead(kRoomyWait));
  connection.Close();
  EXPECT_EQ(device->ReadsInFlight(), 0);
  EXPECT_FALSE(device->IsOpen());
}

TEST_F(UsbConnectionTest, CloseWaitsForAWriteInProgress) {
  auto device = AddReader("reader");
  device->SetTransferDelay(150ms);
  USBConnection connection("reader", backend_);
  ASSERT_EQ(connection.Open(), kConnectionOk);
  const Bytes data(64, 0x33);
  auto write = std::async(std::launch::async, [&] { return connection.Write(data.data(), 64); });
  ASSERT_TRUE(device->WaitForTransferStarted(kRoomyWait));
  connection.Close();
  EXPECT_EQ(write.get(), kConnectionOk);
  EXPECT_EQ(device->Log(), (std::vector<std::string>{"open", "output", "close"}));
}

TEST_F(UsbConnectionTest, StateCallbackMayDestroyItsConnection) {
  auto device = AddReader("reader");
  auto connection = std::make_unique<USBConnection>("reader", backend_);
  std::promise<void> destroyed;
  connection->SetStateCallback([&](int) {
    connection.reset();
    destroyed.set_value();
  });
  ASSERT_EQ(connection->Open(), kConnectionOk);
  device->FailReadStart(platform::win32_error::kDeviceNotConnected);
  ASSERT_EQ(destroyed.get_future().wait_for(kRoomyWait), std::future_status::ready);
  EXPECT_FALSE(device->IsOpen());
}

TEST_F(UsbConnectionTest, DestructorWaitsForStateReports) {
  auto device = AddReader("reader");
  std::atomic<bool> finished{false};
  Inbox<int> started;
  {
    USBConnection connection("reader", backend_);
    connection.SetStateCallback([&](int state) {
      started.Put(state);
      std::this_thread::sleep_for(100ms);
      finished = true;
    });
    ASSERT_EQ(connection.Open(), kConnectionOk);
    device->FailReadStart(platform::win32_error::kDeviceNotConnected);
    ASSERT_TRUE(started.WaitFor(1));
  }
  EXPECT_TRUE(finished);
}

}  // namespace
}  // namespace quorlan
