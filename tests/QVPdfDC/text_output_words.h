// What an independent reader makes of text in a page content: the content wrapped in a
// one-page PDF whose font /F1 is the standard Courier (the fake font's metrics), checked by
// qpdf and read back by pdftotext -bbox.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellora_test {

struct Word {
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;  // points from the page's top left
  std::string text;
  // The baseline of a Courier word (its descender lies 0.157 em below it).
  double Baseline(double size) const { return yMax - 0.157 * size; }
};

struct PageText {
  bool ok = false;          // qpdf accepted the file and pdftotext ran
  std::string diagnostics;  // what the tools reported
  std::vector<Word> words;
  std::string Joined() const;  // the words separated by single blanks
};

// False when qpdf or pdftotext is missing (tests skip then).
bool TextToolsPresent();
PageText ReadPageText(std::string_view content, int width, int height);

}  // namespace vellora_test
