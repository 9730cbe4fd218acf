// The text a formatted command returns: its response written the way
// formatted command text is written.
#pragma once

#include <string>

#include "quorlan/message/response.h"

namespace quorlan {

// "CMDID,CommandStatus=x,OperationStatus=x" followed by ",TT=VALUE" for each
// parameter of the response's inner frame, such as
// "1001,CommandStatus=0,OperationStatus=11,81=01,84=ABCD".
std::string FormatResponseText(const OrvaneResponse& response);

}  // namespace quorlan
