// Message digests through the platform's cryptographic library (OpenSSL,
// CNG on Windows), with the algorithm identifiers "SHA256", "SHA1",
// "SHA384", "SHA512" and "MD5" as CNG spells them. Both
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
bool WriteDigest(const uint8_t* data, uint32_t length, uint8_t* output, uint32_t* inOutLength,
                 const std::string& algorithmName);

// The digest of data; empty on failure.
std::vector<uint8_t> ComputeDigest(const std::vector<uint8_t>& data, const std::string& algorithmName);

}  // namespace pelorixj
