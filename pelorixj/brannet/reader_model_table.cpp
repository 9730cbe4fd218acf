#include "pelorixj/brannet/reader_model_table.h"

namespace pelorixj {
namespace {

constexpr bool Y = true;
constexpr bool N = false;

}  // namespace

const std::vector<ReaderModel>& ReaderModelTable() {
  // Capabilities: payment methods; display, PIN pad, signature, SRED,
  // MSR power saver, battery-backed clock.
  static const auto* const models = new std::vector<ReaderModel>{
      {0x0101, "Fictus S10 Swipe", {1, N, N, N, N, Y, N}},
      {0x0102, "Fictus S11 Swipe Keyed", {1, N, N, N, Y, Y, N}},
      {0x0103, "Fictus S12 Swipe Mini", {1, N, N, N, N, N, N}},
      {0x0111, "Fictus D20 Dip", {3, N, N, N, Y, N, N}},
      {0x0112, "Fictus D21 Dip Swipe", {3, N, N, N, Y, Y, N}},
      {0x0113, "Fictus D22 Dip Pad", {3, Y, Y, N, Y, N, Y}},
      {0x0121, "Fictus T30 Tap", {4, N, N, N, Y, N, N}},
      {0x0122, "Fictus T31 Tap Swipe", {5, N, N, N, Y, Y, N}},
      {0x0123, "Fictus T32 Tap Dip", {6, N, N, N, Y, N, N}},
      {0x0124, "Fictus T33 Tap Dip Swipe", {7, N, N, N, Y, Y, N}},
      {0x0131, "Fictus P40 Pad", {7, Y, Y, N, Y, N, Y}},
      {0x0132, "Fictus P41 Pad Pen", {7, Y, Y, Y, Y, N, Y}},
      {0x0133, "Fictus P42 Pad Lite", {3, Y, Y, N, N, N, N}},
      {0x0141, "Fictus K50 Kiosk", {7, Y, N, N, Y, N, Y}},
      {0x0142, "Fictus K51 Kiosk Pin", {7, Y, Y, N, N, N, Y}},
      {0x0151, "Fictus M60 Mobile", {7, N, N, N, Y, Y, Y}},
      {0x0152, "Fictus M61 Mobile Screen", {7, Y, N, N, Y, Y, Y}},
      {0x0153, "Fictus M62 Mobile Pin", {7, Y, Y, N, Y, Y, Y}},
      {0x0161, "Fictus C70 Counter", {7, Y, Y, Y, Y, N, N}},
      {0x0162, "Fictus C71 Counter Slim", {5, Y, Y, Y, Y, N, N}},
      {0x0171, "Fictus E80 Encrypting Head", {1, N, N, N, Y, N, N}},
      {0x0172, "Fictus E81 Encrypting Head Dual", {2, N, N, N, Y, N, N}},
      {0x0181, "Fictus X90 Test Fixture", {0, N, N, N, N, N, N}},
  };
  return *models;
}

}  // namespace pelorixj
