// A small whole PDF for the font tests: the tests play the role of text output (select a
// font, register the characters, write "BT ... Tj ET"), then the document is finished and
// handed to poppler and qpdf.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "QVPDFDev/document/pdf_catalog.h"
#include "QVPDFDev/fonts/font_manager.h"
#include "QVPDFDev/fonts/pdf_font.h"
#include "QVPDFDev/resources/pdf_resource.h"
#include "page_render.h"
#include "pdf_test_owner.h"
#include "pdf_tools.h"

namespace vellora_test::fontdoc {

// Dark pixels (below 128) of a rendered letter-size page inside the box (PDF points, y up
// from the bottom).
int InkIn(const Raster& page, double left, double bottom, double right, double top);

class FontTestDocument {
 public:
  explicit FontTestDocument(vellora::TQVPDFFontMode mode, std::uint8_t cidMode = 0,
                            vellora::TQVPDFAMode pdfa = vellora::folvioaOff);
  ~FontTestDocument();

  vellora::TQVPDFFontManager& Fonts() { return *fonts_; }
  TestOwner& Owner() { return owner_; }
  vellora::TQVPDFFont* Current() { return fonts_->CurrentFont(); }

  // Plays text output for a text at (x, y) in the current font, size 12: simple fonts get
  // the text in their code page (registered as used), CID fonts the hex codes of each
  // character (mapped through MapCharCode). Returns the content operators "x y Td ... Tj".
  std::string Show(const std::u16string& text, double x, double y);
  // Selects the font and shows each character of text in a cell of its own (cell x step 24
  // points from x = 40, baseline y); returns a whole text object.
  std::string Cells(int font, const std::u16string& text, double y);

  // Writes the page with content, the resources (fonts), pages and catalog; returns the file.
  std::string Finish(const std::string& content);

 private:
  TestOwner owner_;
  std::unique_ptr<vellora::TQVPDFResource> resources_;
  std::unique_ptr<vellora::TQVPDFCatalog> catalog_;
  std::unique_ptr<vellora::TQVPDFFontManager> fonts_;
};

// The content "BT /Fn 12 Tf " + body + " ET".
std::string TextObject(int font, const std::string& body);

// pdftotext's UTF-8 text of the file.
std::string PdfToText(const std::string& pdf);
// The whole output of qpdf --check is clean.
bool QpdfClean(const std::string& pdf, std::string* report);

// The numbers of the objects that a key refers to ("/FontFile2 7 0 R"), in file order.
std::vector<int> References(const std::string& pdf, const std::string& key);
// fontTools on an embedded font file (decoded by qpdf): "glyphs <count> outlines <count>", or
// empty when fontTools cannot read it.
std::string FontFileGlyphs(const std::string& pdf, int object);

// "U+0041 U+0042" for messages.
std::string Units(const std::u16string& text);
std::u16string FromUtf8(const std::string& text);

}  // namespace vellora_test::fontdoc
