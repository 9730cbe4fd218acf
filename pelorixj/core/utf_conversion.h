// Text conversions at the Java boundary. Java strings are UTF-16; the
// libraries' texts are UTF-8 byte strings that may hold any bytes (reader
// messages, the older family's texts); the JVM hands strings out as
// modified UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace pelorixj {

// Every well-formed sequence becomes its code point; each maximal ill-formed
// part (a stray byte, a sequence cut short, an overlong or surrogate form, a
// value above U+10FFFF) becomes one U+FFFD, and decoding goes on after it.
std::u16string Utf8ToUtf16(std::string_view utf8);

// Standard UTF-8 from the JVM's modified form: a character outside the BMP
// (there a pair of 3-byte surrogate sequences) becomes its 4-byte sequence,
// an unpaired surrogate becomes U+FFFD, and U+0000 (there C0 80) a zero
// byte. Everything else is copied as it stands.
std::string ModifiedUtf8ToUtf8(std::string_view modified);

}  // namespace pelorixj
