// The self-test export. Its result carries no information: the count of
// mismatches is for the library's own tests (CountCommandEncodingMismatches).
#include "quorlan/qrx.h"

#include "quorlan/capi/export_guard.h"
#include "quorlan/message/self_test.h"

using namespace quorlan;

extern "C" QRX_API int QRX_CALL TestMain(void) {
  GuardExport([] { CountCommandEncodingMismatches(); });
  return 0;
}
