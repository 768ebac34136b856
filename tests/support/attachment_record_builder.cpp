#include "attachment_record_builder.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace vellora_test {
namespace {

void PutInt32(std::vector<std::uint8_t>& out, std::size_t at, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i)
    out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

void PutText(std::vector<std::uint8_t>& out, std::size_t at, const std::string& text,
             std::size_t field) {
  std::memcpy(out.data() + at, text.data(), std::min(text.size(), field));
}

}  // namespace

void PutExtended(double value, std::uint8_t* out) {
  std::memset(out, 0, 10);
  if (value == 0) return;
  int exponent = 0;
  const double fraction = std::frexp(std::fabs(value), &exponent);  // [0.5, 1)
  const auto significand = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
  for (int i = 0; i < 8; ++i) out[i] = static_cast<std::uint8_t>(significand >> (8 * i));
  const auto top = static_cast<std::uint16_t>((exponent - 1 + 16383) | (value < 0 ? 0x8000 : 0));
  out[8] = static_cast<std::uint8_t>(top & 0xFF);
  out[9] = static_cast<std::uint8_t>(top >> 8);
}

AttachmentBody Body(std::string body, std::int32_t dataState, std::uint8_t fileSystemKey,
                    std::string subtype) {
  AttachmentBody b;
  b.body = std::move(body);
  b.dataState = dataState;
  b.fileSystemKey = fileSystemKey;
  b.subtype = std::move(subtype);
  return b;
}

AttachmentRecordFields Record(std::string fileName, std::vector<AttachmentBody> bodies,
                              std::string texts, std::uint8_t icon) {
  AttachmentRecordFields r;
  r.fileName = std::move(fileName);
  r.bodies = std::move(bodies);
  r.texts = std::move(texts);
  r.icon = icon;
  return r;
}

std::vector<std::size_t> AttachmentLengthFields(const AttachmentRecordFields& record) {
  std::vector<std::size_t> fields = {104, 108};
  std::size_t at = 116 + record.texts.size();
  for (const AttachmentBody& body : record.bodies) {
    fields.push_back(at);
    at += 88 + body.body.size();
  }
  return fields;
}

std::vector<std::uint8_t> BuildAttachmentRecord(const AttachmentRecordFields& record) {
  std::vector<std::uint8_t> out(116 + record.texts.size());
  PutText(out, 0, record.fileName, 100);
  out[100] = record.icon;
  PutInt32(out, 104, record.textLength.value_or(static_cast<std::int32_t>(record.texts.size())));
  PutInt32(out, 108, record.count.value_or(static_cast<std::int32_t>(record.bodies.size())));
  PutText(out, 116, record.texts, record.texts.size());
  for (const AttachmentBody& body : record.bodies) {
    const std::size_t at = out.size();
    out.resize(at + 88 + body.body.size());
    PutInt32(out, at, body.size.value_or(static_cast<std::int32_t>(88 + body.body.size())));
    out[at + 8] = body.fileSystemKey;
    PutText(out, at + 12, body.subtype, 44);
    PutExtended(body.modified, out.data() + at + 56);
    PutExtended(body.created, out.data() + at + 66);
    PutInt32(out, at + 76, body.dataState);
    PutText(out, at + 88, body.body, body.body.size());
  }
  return out;
}

}  // namespace vellora_test
