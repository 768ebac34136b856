// Writes the command seeds: for the whole-conversion target, one small metafile per embedded
// command (with text, a box and a bitmap around it, so that the command meets some drawing);
// for the tagging target, runs of structure steps. Run with the fuzz/seeds folder:
//   build/bin/make_command_seeds fuzz/seeds
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "attachment_record_builder.h"
#include "command_record.h"
#include "emf_builder.h"

namespace {

using vellora_test::CommandRecord;
using vellora_test::EmfBuilder;
using vellora_test::kCommandAnsi;
using vellora_test::kCommandUtf8;
using vellora_test::TaggingPayload;

struct Seed {
  std::int32_t code;
  std::string payload;
  qvplatform::RECTL rect;
};

void Save(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Metafile(const Seed& seed) {
  EmfBuilder b = vellora_test::PointPicture(200, 200);
  b.SetHandles(4);
  b.CreateFont(1, EmfBuilder::Font(u"Arial", -16));
  b.SelectObject(1);
  b.CreateBrush(2, 0 /* BS_SOLID */, 0x0000FF);
  b.SelectObject(2);
  b.GdiComment(CommandRecord(seed.code, seed.code == 3011 ? kCommandUtf8 : kCommandAnsi, seed.rect,
                             seed.payload));
  b.Rectangle({20, 20, 80, 80});
  b.ExtTextOutW(20, 100, u"text after");
  b.StretchDIBits({100, 100, 40, 40}, vellora_test::TestDib::Filled(4, 4, 24, 0x80));
  b.Eof();
  const std::vector<unsigned char> bytes = b.Bytes();
  return {bytes.begin(), bytes.end()};
}

std::string Step(std::uint8_t step, const std::string& payload = {}) {
  std::string s(1, static_cast<char>(step));
  s += static_cast<char>(payload.size() & 0xFF);
  s += static_cast<char>(payload.size() >> 8);
  return s + payload;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_command_seeds <seeds folder>\n";
    return 2;
  }
  const std::filesystem::path seeds = argv[1];
  const std::vector<std::uint8_t> attachment = vellora_test::BuildAttachmentRecord(
      vellora_test::Record("seed.txt", {vellora_test::Body("seed body")}));
  const std::string attachmentText(attachment.begin(), attachment.end());
  const std::vector<Seed> commands = {
      {501, "http://example.org/", {10, 10, 60, 30}},
      {502, "here", {20, 20, 20, 20}},
      {503, "here=Top", {0, 0, 0, 0}},
      {504, "", {0, 0, 0, 0}},
      {505, "", {0, 0, 0, 0}},
      {506, "form", {10, 10, 90, 90}},
      {507, "there", {30, 30, 30, 30}},
      {512, "pic", {0, 0, 0, 0}},
      {513, "hidden (text)", {0, 0, 0, 0}},
      {520, "", {0, 0, 0, 0}},
      {521, "", {0, 0, 0, 0}},
      {522, "img", {0, 0, 0, 0}},
      {603, "Arial", {0, 0, 0, 0}},
      {604, "", {0, 0, 0, 0}},
      {605, "", {0, 0, 0, 0}},
      {607, "2", {0, 0, 0, 0}},
      {608, "1", {0, 0, 0, 0}},
      {609, "128", {0, 0, 0, 0}},
      {2001, "img", {10, 10, 50, 50}},
      {2002, "Quote=Note#/Placement /Block", {3, 0, 0, 0}},
      {2003, "255", {0, 0, 0, 0}},
      {2501, "http://example.org/", {10, 10, 60, 30}},
      {3001, std::string("\xFF\xD8\xFF\xD9", 4), {1, 2, 8, 8}},
      {3010, attachmentText, {10, 10, 30, 30}},
      {3011, attachmentText, {10, 10, 30, 30}},
      {3012, "", {0, 0, 0, 0}},
      {3013, TaggingPayload(1, 0, 0, "P", "T=Title;Alt=a\\;b;/StyNo 3"), {0, 0, 0, 0}},
      {3014, TaggingPayload(1, 0, 8, "H1"), {0, 0, 0, 0}},
      {3015, "", {0, 0, 0, 0}},
  };
  for (const Seed& seed : commands)
    Save(seeds / "emf" / ("command-" + std::to_string(seed.code) + ".emf"), Metafile(seed));

  // Steps: 0 open element, 1 begin, 2 end, 3 close section, 7 page change.
  const std::string tree = Step(0, TaggingPayload(1, 0, 0, "Sect", "T=Part one")) +
                           Step(0, TaggingPayload(2, 1, 0, "P", "Lang=de;ActualText=x")) +
                           Step(1, TaggingPayload(2, 0, 0, {})) + Step(2) + Step(7) + Step(7) +
                           Step(1, TaggingPayload(2, 0, 0, {})) + Step(2) + Step(3);
  const std::string artifacts = Step(1, TaggingPayload(0, 0, 4, "Pagination")) + Step(2) +
                                Step(1, TaggingPayload(5, 0, 8, "Figure", "Alt=pic")) + Step(2) +
                                Step(2);
  const std::string unfinished =
      Step(1, TaggingPayload(9, 0, 8, "H2")) + Step(1, std::string(40, '\x7F')) + Step(7) + Step(2);
  Save(seeds / "tagging_record_fuzzer" / "tree", tree);
  Save(seeds / "tagging_record_fuzzer" / "artifacts", artifacts);
  Save(seeds / "tagging_record_fuzzer" / "unfinished", unfinished);
  return 0;
}
