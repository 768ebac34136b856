#include "QVPDFDev/reader/input_import.h"

#include <algorithm>

namespace vellora {

std::unique_ptr<TQVInputImport> TQVInputImport::Open(const std::string& fileName) {
  auto stream = std::make_unique<TQVPDFFileInputStream>();
  if (!stream->Open(fileName)) return nullptr;
  auto import = std::make_unique<TQVInputImport>(*stream);
  import->ownStream_ = std::move(stream);
  return import;
}

TQVInputImport::TQVInputImport(TQVPDFInputStream& stream)
    : file_(std::make_unique<TQVPDFInputFile>(stream)), tree_(ReadInputPageTree(*file_)) {}

void TQVInputImport::Plan(bool omitContents) {
  std::vector<bool> omitted(static_cast<std::size_t>(file_->Size()), false);
  for (std::int32_t node : tree_.nodes) omitted[static_cast<std::size_t>(node)] = true;
  for (const TQVInputPage& page : tree_.pages) {
    omitted[static_cast<std::size_t>(page.number)] = true;
    if (omitContents)
      for (std::int32_t content : page.contents) omitted[static_cast<std::size_t>(content)] = true;
  }
  copied_.clear();
  isCopied_.assign(omitted.size(), false);
  for (std::int32_t n = 1; n < file_->Size(); ++n) {
    if (omitted[static_cast<std::size_t>(n)] || file_->FindObjectOffset(n) == 0) continue;
    const TQVInputObject object = file_->ReadObject(n);
    // The linearization dictionary describes the input's layout, not the output's.
    if (object.value.Find("Linearized") != nullptr) continue;
    copied_.push_back({n, object.generation, object.start, object.end});
    isCopied_[static_cast<std::size_t>(n)] = true;
  }
}

bool TQVInputImport::IsCopied(std::int32_t number) const {
  return number > 0 && static_cast<std::size_t>(number) < isCopied_.size() &&
         isCopied_[static_cast<std::size_t>(number)];
}

void TQVInputImport::Copy(TQVPDFFileWriter& out) {
  std::vector<std::uint8_t> block(std::size_t{64} << 10);
  TQVPDFInputStream& stream = file_->Stream();
  for (const Range& range : copied_) {
    out.XRef().Set(range.number, TQVPDFXRefList::InUseEntry(out.Position(), range.generation));
    for (std::uint64_t at = range.start; at < range.end;) {
      const auto want =
          static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), range.end - at));
      const std::size_t got = stream.ReadAt(at, block.data(), want);
      if (got == 0) throw TQVPDFInputError("the input file changed while it was read");
      out.Write(block.data(), got);
      at += got;
    }
    out.Write("\r\n");
  }
}

}  // namespace vellora
