// A page: its content streams, thumbnail, annotations and marked-content owners, and the
// /Page dictionary. Every page uses the document's one shared resource dictionary.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "QVPDFDev/objects/pdf_object.h"
#include "QVPDFDev/objects/pdf_simple_objects.h"
#include "QVPDFDev/objects/pdf_stream.h"

namespace vellora {

class TQVPDFPages;
class TQVPDFStructElement;

class TQVPDFPage : public TQVCustomPDFType {
 public:
  explicit TQVPDFPage(TQVPDFObjectOwner* owner, std::int32_t rotation = 0)
      : TQVCustomPDFType(owner), rotation_(rotation) {}
  ~TQVPDFPage() override;
  std::string_view ClassName() const override { return "TQVPDFPage"; }

  // Appends a content stream (drawing order) and returns it.
  TQVPDFStream* AddContents(std::unique_ptr<TQVPDFStream> stream);
  const std::vector<std::unique_ptr<TQVPDFStream>>& Contents() const { return contents_; }
  void SetThumbnail(std::unique_ptr<TQVPDFStream> thumbnail) { thumbnail_ = std::move(thumbnail); }
  TQVPDFStream* Thumbnail() const { return thumbnail_.get(); }
  // Lists an annotation that another list owns.
  void AddAnnotation(TQVCustomPDFType* annotation);
  const TQVPDFArray* Annotations() const { return annotations_.get(); }

  // Writes the content streams, the thumbnail and the shared XObjects, ICC colour spaces and
  // patterns not yet written (and not held back); once per page.
  void WritePageObjects();
  // Raises "Page has no parent!" for a page outside the page tree.
  void WriteObject() override;

  TQVPDFPages* Parent() const { return parent_; }
  void SetParent(TQVPDFPages* parent) { parent_ = parent; }
  std::int32_t Rotation() const { return rotation_; }
  // Written verbatim as one line after "/Type/Page" when not empty.
  const std::string& ExtraDictionaryText() const { return extraText_; }
  void SetExtraDictionaryText(std::string text) { extraText_ = std::move(text); }
  bool ObjectsWritten() const { return objectsWritten_; }
  std::vector<TQVPDFStructElement*>& MarkedContentOwners() { return markedContentOwners_; }
  std::int32_t StructParentsKey() const { return structParentsKey_; }
  void SetStructParentsKey(std::int32_t key) { structParentsKey_ = key; }
  float Width() const { return width_; }
  float Height() const { return height_; }
  void SetSize(float width, float height) {
    width_ = width;
    height_ = height;
  }
  float FlipHeight() const { return flipHeight_; }
  void SetFlipHeight(float height) { flipHeight_ = height; }
  // Device units per inch of the page's drawing (0: not known), for positions on it.
  std::int32_t XResolution() const { return xResolution_; }
  std::int32_t YResolution() const { return yResolution_; }
  void SetResolution(std::int32_t x, std::int32_t y) {
    xResolution_ = x;
    yResolution_ = y;
  }

 private:
  std::vector<std::unique_ptr<TQVPDFStream>> contents_;
  TQVPDFPages* parent_ = nullptr;
  std::int32_t rotation_;
  std::unique_ptr<TQVPDFStream> thumbnail_;
  std::string extraText_;
  std::unique_ptr<TQVPDFArray> annotations_;
  bool objectsWritten_ = false;
  std::vector<TQVPDFStructElement*> markedContentOwners_;
  std::int32_t structParentsKey_ = -1;
  float width_ = 0;
  float height_ = 0;
  float flipHeight_ = 0;
  std::int32_t xResolution_ = 0;
  std::int32_t yResolution_ = 0;
};

}  // namespace vellora
