#include "QVPDFDev/navigation/outline_node.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "QVPDFDev/navigation/destination_writer.h"
#include "QVPDFDev/navigation/pdf_outline.h"
#include "QVPdfDC/charset_code_page.h"
#include "QVPdfDC/pdf_string_escape.h"
#include "qvplatform/codepage.h"
#include "qvplatform/numbers.h"

namespace vellora {
namespace {

constexpr std::int32_t kUTF8Charset = 65001;

std::u16string DecodeTitle(std::string_view title, std::int32_t charset) {
  if (title.empty()) return {};
  const std::uint32_t codePage =
      charset == kUTF8Charset ? qvplatform::CP_UTF8 : CharsetToCodePage(charset);
  const int length = static_cast<int>(std::min<std::size_t>(title.size(), INT_MAX / 2));
  // No page of the table gives more UTF-16 units than it has bytes.
  std::u16string wide(static_cast<std::size_t>(length), u'\0');
  const int n =
      qvplatform::MultiByteToWideChar(codePage, 0, title.data(), length, wide.data(), length);
  wide.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return wide;
}

// The size between two coordinates; none when they are the wrong way round.
std::int32_t Extent(std::int32_t from, std::int32_t to) {
  return qvplatform::ClampToInt32(std::max<std::int64_t>(0, std::int64_t{to} - from));
}

void AppendReference(std::string& out, const char* key, TQVPDFOutlineNode* node) {
  if (node == nullptr) return;
  out += key;
  out += node->GetReference();
}

}  // namespace

TQVPDFOutlineNode::TQVPDFOutlineNode(TQVPDFObjectOwner* owner, std::int32_t charset,
                                     std::u16string title, TQVOutlineTarget target)
    : TQVCustomPDFType(owner),
      title_(std::move(title)),
      target_(std::move(target)),
      codePage_(charset) {}

std::unique_ptr<TQVPDFOutlineNode> TQVPDFOutlineNode::Create(TQVPDFObjectOwner* owner,
                                                             std::int32_t charset,
                                                             std::string_view title,
                                                             TQVOutlineTarget target) {
  return std::make_unique<TQVPDFOutlineNode>(owner, charset, DecodeTitle(title, charset),
                                             std::move(target));
}

std::unique_ptr<TQVPDFOutlineNode> TQVPDFOutlineNode::CreateWide(TQVPDFObjectOwner* owner,
                                                                 std::int32_t charset,
                                                                 std::u16string title,
                                                                 TQVOutlineTarget target) {
  return std::make_unique<TQVPDFOutlineNode>(owner, charset, std::move(title), std::move(target));
}

void TQVPDFOutlineNode::WriteObject() {
  if (Owner() == nullptr) throw std::runtime_error("Object has no owner");
  auto* host = dynamic_cast<TQVDestinationHost*>(Owner());
  if (host == nullptr) throw std::runtime_error("Outline entry has no destination writer");
  if (outline_ == nullptr) throw std::runtime_error("Outline entry is not in the outline");
  TQVPDFFileWriter& out = Out();

  std::string title = "\xFE\xFF";
  title.reserve(2 + 2 * title_.size());
  for (char16_t unit : title_) {
    if (unit == u'\t') unit = u' ';
    title += static_cast<char>(unit >> 8);
    title += static_cast<char>(unit & 0xFF);
  }

  MarkWritten();
  EncryptData(reinterpret_cast<std::uint8_t*>(title.data()), title.size());
  out.WriteLn(ObjHeader());
  std::string line = "/Title(";
  AppendEscapedBytes(line, title.data(), title.size());
  line += ')';
  out.WriteLn(line);

  std::string body;
  // The rectangle in 64 bits: the host's coordinates may be anything.
  const TQVDestination given{page_,
                             target_.mode,
                             target_.left,
                             target_.top,
                             Extent(target_.left, target_.right),
                             Extent(target_.top, target_.bottom),
                             target_.zoom};
  const std::optional<TQVDestination> dest = ResolveDestination(*host, given, target_.destName);
  // A destination array must begin with a page: without one the entry has no /Dest.
  if (dest && dest->page != nullptr) body = FormatDestination(*host, *dest, false);
  body += "\n/Parent ";
  body += parent_ != nullptr ? parent_->GetReference() : outline_->GetReference();
  AppendReference(body, " /Next ", next_);
  AppendReference(body, " /First ", firstChild_);
  AppendReference(body, " /Prev ", prev_);
  AppendReference(body, " /Last ", lastChild_);
  if (firstChild_ != nullptr) {
    // Closed: minus the number of entries below.
    body += " /Count ";
    body += std::to_string(-descendants_);
  }
  out.WriteLn(body);
  out.WriteObjectEnd(IsRaw());
}

}  // namespace vellora
