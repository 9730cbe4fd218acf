// The reader's side of file uploads: an announcement (command 0xD812, or
// 0xD811 signed over the reader's challenge, which travels as command
// 0xAA00) names a file and gives its size and digest; the content follows as a file message, which the reader
// checks against the announcement before it answers.
//
//   UploadDesk desk(reader, {});                 // every check passes: status 0
//   ... the host uploads ...
//   desk.Uploads()[0].content
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "simulated_reader.h"

namespace reader_sim {

struct UploadScript {
  Status announcement;  // the answer to an announcement that checks out
  Status content;       // the answer to content that matches its announcement
  // The challenge (command 0xE001) is answered with these as parameters 83 and 82.
  Bytes token = {0x5A, 0xA5, 0x01, 0x02};
  Bytes parameter82 = {0x0C};
  // Computes SHA-256 to check announced digests; none: digests go unchecked.
  std::function<Bytes(const Bytes&)> sha256;
};

struct Announcement {
  uint16_t code = 0;
  Bytes fileId;     // parameter 81
  Bytes size;       // A2 item 81
  Bytes algorithm;  // A2 item 82
  Bytes digest;     // A2 item 83
  Bytes name;       // A3 item 81
  // The signed form only: the block's parameters 82, 83 and A1.
  Bytes parameter82, token, a1;
};

struct Upload {
  Announcement announced;
  uint32_t fileNumber = 0;  // from the file message's header
  Bytes content;
  std::string fault;  // the first check that failed; empty when all passed
};

class UploadDesk {
 public:
  // Answers commands 0xE001, 0xAA00 and 0xD812 and the host's file messages
  // of reader from now on.
  UploadDesk(SimulatedReader& reader, UploadScript script);

  // The uploads so far, each with the announcement it followed.
  std::vector<Upload> Uploads() const;

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace reader_sim
