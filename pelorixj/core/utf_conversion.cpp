#include "pelorixj/core/utf_conversion.h"

#include <cstdint>

namespace pelorixj {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

void AppendUtf16(std::u16string& out, uint32_t codePoint) {
  if (codePoint < 0x10000) {
    out.push_back(static_cast<char16_t>(codePoint));
    return;
  }
  codePoint -= 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

// Code points from U+0800 up: the only ones written here.
void AppendUtf8(std::string& out, uint32_t codePoint) {
  if (codePoint < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
  }
  out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
  out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
}

uint8_t ByteAt(std::string_view text, size_t index) { return static_cast<uint8_t>(text[index]); }

// The code unit of a 3-byte surrogate sequence (ED A0..BF xx) at index, or 0.
uint32_t SurrogateAt(std::string_view text, size_t index) {
  if (index + 2 >= text.size() || ByteAt(text, index) != 0xED || (ByteAt(text, index + 1) & 0xE0) != 0xA0 ||
      (ByteAt(text, index + 2) & 0xC0) != 0x80) {
    return 0;
  }
  return 0xD000 | ((ByteAt(text, index + 1) & 0x3F) << 6) | (ByteAt(text, index + 2) & 0x3F);
}

bool IsHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool IsLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const uint8_t lead = ByteAt(utf8, i++);
    if (lead < 0x80) {
      out.push_back(lead);
      continue;
    }
    // The ranges that keep the sequence shortest, below U+10FFFF and off
    // the surrogates narrow the second byte.
    int following = 0;
    uint32_t codePoint = 0;
    uint8_t lower = 0x80;
    uint8_t upper = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      following = 1;
      codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      following = 2;
      codePoint = lead & 0x0F;
      lower = lead == 0xE0 ? 0xA0 : 0x80;
      upper = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      following = 3;
      codePoint = lead & 0x07;
      lower = lead == 0xF0 ? 0x90 : 0x80;
      upper = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
      out.push_back(kReplacement);
      continue;
    }
    for (; following > 0 && i < utf8.size(); --following, ++i) {
      const uint8_t next = ByteAt(utf8, i);
      if (next < lower || next > upper) {
        break;
      }
      codePoint = codePoint << 6 | (next & 0x3F);
      lower = 0x80;
      upper = 0xBF;
    }
    // A sequence cut short is replaced once; the byte that cut it is read anew.
    AppendUtf16(out, following == 0 ? codePoint : kReplacement);
  }
  return out;
}

std::string ModifiedUtf8ToUtf8(std::string_view modified) {
  std::string out;
  out.reserve(modified.size());
  size_t i = 0;
  while (i < modified.size()) {
    if (ByteAt(modified, i) == 0xC0 && i + 1 < modified.size() && ByteAt(modified, i + 1) == 0x80) {
      out.push_back('\0');
      i += 2;
      continue;
    }
    const uint32_t unit = SurrogateAt(modified, i);
    if (unit == 0) {
      out.push_back(modified[i++]);
      continue;
    }
    const uint32_t low = SurrogateAt(modified, i + 3);
    if (IsHighSurrogate(unit) && IsLowSurrogate(low)) {
      AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
      i += 6;
    } else {
      AppendUtf8(out, kReplacement);
      i += 3;
    }
  }
  return out;
}

}  // namespace pelorixj
