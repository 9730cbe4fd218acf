// Message digests through the platform's cryptographic library, with the
// algorithm identifiers of the Windows CNG ("SHA256", "SHA1", ...). Both
// backends print their diagnostic lines to standard output: an error line
// naming the failed step, or "Success!".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pelorixj {

// Writes the digest of length bytes at data to output and its size to
// *inOutLength, which gives the room at output on entry. False, with
// output untouched, for an unknown algorithm, a failed step, or when
// inOutLength is null or too small for the digest.
bool HashWithCng(const uint8_t* data, uint32_t length, uint8_t* output, uint32_t* inOutLength,
                 const std::string& algorithmName);

// The digest of data; empty on failure.
std::vector<uint8_t> ComputeDigest(const std::vector<uint8_t>& data, const std::string& algorithmName);

}  // namespace pelorixj
