// The scripted transaction the command-line reader plays for the demo.
#pragma once

#include "simulated_reader.h"

namespace reader_sim {

constexpr uint16_t kStartTransaction = 0x1001;
constexpr uint16_t kReadTransactionData = 0x1010;

// Every command succeeds but the reads that InstallDemoConfiguration refuses.
// After the start of a transaction the reader announces a card, the progress
// on its display, approval and completion as notifications; command 0x1010
// answers with card data (parameter 81 = 01), authorization request data (02)
// or batch data (03). The reader's model, serial number and file are those of
// demo_configuration.h.
void InstallDemoScenario(SimulatedReader& reader, Milliseconds notificationGap = Milliseconds(100));

// The card data response parameters: a three-byte header in 81 and the
// entries 1 and 2 under A4.A4.A0(n) with their 81 and 84 items.
InnerParameters DemoCardData();

}  // namespace reader_sim
