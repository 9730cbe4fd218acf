// The byte link under every device: USB HID, TCP and serial connections
// derive from it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace quorlan {

// Results of connection operations.
enum ConnectionResult : int {
  kConnectionOk = 0,
  kConnectionNotOpen = 4,
  kConnectionOpenFailed = 5,
  kConnectionUnknownTransferMode = 6,
  kConnectionMoreBuffered = 18,
  kConnectionReportFailed = 129,
  kConnectionFailed = 255,
};

class SerialComm {
 public:
  using DataCallback = std::function<void(uint8_t* data, unsigned length)>;
  using StateCallback = std::function<void(int state)>;
  using DeviceListEntry = std::function<bool(std::string path, std::string entry)>;

  static constexpr uint32_t kRingCapacity = 0x10000;

  SerialComm();
  virtual ~SerialComm() = default;
  SerialComm(const SerialComm&) = delete;
  SerialComm& operator=(const SerialComm&) = delete;

  // Hands a received block to the data callback, or keeps it in the receive
  // ring (dropping the oldest bytes) while no callback is set.
  virtual void OnDataReceived(const uint8_t* data, unsigned length);
  // Takes up to *length buffered bytes; *length becomes the count taken.
  virtual void Read(uint8_t* out, unsigned* length);

  virtual bool GetDeviceList(DeviceListEntry onEntry, std::string filter);
  virtual int Open();
  virtual int Close();
  virtual bool IsConnected();
  virtual int Write(const uint8_t* data, unsigned length);
  // Read, then 18 while bytes remain buffered, else 0.
  virtual int ReadAvailable(uint8_t* out, unsigned* length);

  // May be set or replaced at any time, from any thread; a delivery in
  // progress keeps the callback it began with.
  void SetDataCallback(DataCallback callback);
  void SetStateCallback(StateCallback callback);

 protected:
  uint32_t BufferedCount();
  // The state callback as set now; empty when there is none.
  StateCallback CurrentStateCallback();

 private:
  struct ReceiveRing {
    std::unique_ptr<uint8_t[]> data;
    uint32_t capacity = kRingCapacity;
    uint32_t readIndex = 0;
    uint32_t lastIndex = 0;
    uint32_t count = 0;
  };

  void Append(const uint8_t* data, unsigned length);

  ReceiveRing ring_;
  std::mutex ringMutex_;
  std::mutex callbackMutex_;
  DataCallback dataCallback_;
  StateCallback stateCallback_;
};

}  // namespace quorlan
