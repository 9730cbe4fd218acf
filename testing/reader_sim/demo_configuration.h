// What the demo reader holds besides its transaction: a model and a serial
// number read by tag path, and one small file. All of it is made up.
#pragma once

#include <cstdint>

#include "simulated_reader.h"

namespace reader_sim {

constexpr uint16_t kReadConfiguration = 0xD101;
constexpr uint16_t kReadFile = 0xD821;

constexpr char kDemoModel[] = "Fictus R7 Demo Reader";
// Seven digits, packed two to a byte with a closing F nibble.
constexpr char kDemoSerial[] = "0000001";
constexpr uint32_t kDemoFileId = 0x01000000;
Bytes DemoFileContent();

// Answers a read by tag path (0xD101 with parameter 85 = 02) of the model
// (E1.E2.E2.E2.C2) or the serial number (E2.E1.E1.E1.C1) with the path
// holding the value in parameter 89, and a read of file kDemoFileId (0xD821)
// with success followed by the file message. Other reads of either command
// are refused with command status 1.
void InstallDemoConfiguration(SimulatedReader& reader);

}  // namespace reader_sim
