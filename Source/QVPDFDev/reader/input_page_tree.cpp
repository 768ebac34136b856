#include "QVPDFDev/reader/input_page_tree.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_set>

namespace vellora {
namespace {

constexpr const char* kInherited[] = {"Resources", "MediaBox", "CropBox", "Rotate"};

std::string PageName(std::int32_t number) { return "page object " + std::to_string(number); }

using TQVInherited = std::vector<std::shared_ptr<const TQVInheritedEntry>>;

class TreeWalk {
 public:
  TreeWalk(TQVPDFInputFile& file, TQVInputPageTree& tree) : file_(file), tree_(tree) {}

  void Node(std::int32_t number, const TQVInherited& inherited, int depth) {
    if (depth > kMaxValueDepth) throw TQVPDFInputError("page tree deeper than 256 levels");
    if (!visited_.insert(number).second)
      throw TQVPDFInputError("loop in the page tree at object " + std::to_string(number));
    TQVInputObject object = file_.ReadObject(number);
    TQVPDFValue& dictionary = object.value;
    if (!dictionary.IsDictionary() || object.isStream)
      throw TQVPDFInputError("page tree object " + std::to_string(number) + " is no dictionary");

    const TQVPDFValue* type = dictionary.Find("Type");
    const bool isNode =
        type != nullptr ? type->IsName("Pages") : dictionary.Find("Kids") != nullptr;
    if (!isNode) {
      Page(object, inherited);
      return;
    }
    tree_.nodes.push_back(number);
    // What this node passes on: its own inheritable entries over those of its parents.
    TQVInherited passed;
    for (const char* key : kInherited) {
      if (const TQVPDFValue* own = dictionary.Find(key)) {
        auto entry = std::make_shared<TQVInheritedEntry>();
        entry->key = key;
        entry->value = *own;
        std::string text;
        AppendValue(text, entry->value);
        entry->textSize = text.size() + entry->key.size() + 3;
        passed.push_back(std::move(entry));
      } else {
        for (const auto& entry : inherited)
          if (entry->key == key) passed.push_back(entry);
      }
    }
    const TQVPDFValue* kidsEntry = dictionary.Find("Kids");
    if (kidsEntry == nullptr) throw TQVPDFInputError("page tree node without /Kids");
    const TQVPDFValue kids = file_.Resolve(*kidsEntry);
    if (!kids.IsArray()) throw TQVPDFInputError("/Kids is no array");
    for (const TQVPDFValue& kid : kids.items) {
      if (!kid.IsReference() || kid.integer <= 0 || kid.integer >= file_.Size())
        throw TQVPDFInputError("/Kids entry that is no page reference");
      Node(static_cast<std::int32_t>(kid.integer), passed, depth + 1);
    }
  }

 private:
  void Page(TQVInputObject& object, const TQVInherited& inherited) {
    TQVInputPage page;
    page.number = object.number;
    page.generation = object.generation;
    page.dictionary = std::move(object.value);
    page.dictionary.Erase("Parent");
    for (const auto& entry : inherited) {
      if (page.dictionary.Find(entry->key) != nullptr) continue;
      // Every page written out carries the text again: keep that in proportion to the file.
      inheritedBytes_ += entry->textSize;
      if (inheritedBytes_ > 16 * file_.Stream().Size() + (std::uint64_t{1} << 20))
        throw TQVPDFInputError("inherited page entries out of proportion to the file");
      page.inherited.push_back(entry);
    }
    if (const TQVPDFValue* box = page.Find("MediaBox")) {
      ReadBox(page, *box);  // the page's own from now on
      std::erase_if(page.inherited, [](const auto& entry) { return entry->key == "MediaBox"; });
    }
    if (const TQVPDFValue* contents = page.dictionary.Find("Contents"))
      ReadContents(page, *contents);
    tree_.pages.push_back(std::move(page));
  }

  void ReadBox(TQVInputPage& page, const TQVPDFValue& entry) {
    const TQVPDFValue box = file_.Resolve(entry);
    if (!box.IsArray() || box.items.size() != 4)
      throw TQVPDFInputError(PageName(page.number) + ": /MediaBox is no array of four numbers");
    TQVPDFValue direct;  // written back with its numbers resolved
    direct.kind = TQVPDFValue::Kind::kArray;
    double v[4];
    for (std::size_t i = 0; i < 4; ++i) {
      direct.items.push_back(file_.Resolve(box.items[i]));
      const TQVPDFValue& n = direct.items.back();
      if (!n.IsNumber() || !std::isfinite(n.Number()) || std::fabs(n.Number()) > 1e7)
        throw TQVPDFInputError(PageName(page.number) + ": /MediaBox is no array of four numbers");
      v[i] = n.Number();
    }
    page.box[0] = std::min(v[0], v[2]);
    page.box[1] = std::min(v[1], v[3]);
    page.box[2] = std::max(v[0], v[2]);
    page.box[3] = std::max(v[1], v[3]);
    if (page.Width() <= 0 || page.Height() <= 0)
      throw TQVPDFInputError(PageName(page.number) + ": empty /MediaBox");
    page.dictionary.Set("MediaBox", std::move(direct));
  }

  void ReadContents(TQVInputPage& page, const TQVPDFValue& entry) {
    if (entry.IsNull()) return;
    std::vector<TQVPDFValue> streams;
    if (entry.IsReference()) {
      if (entry.integer <= 0 || entry.integer >= file_.Size())
        throw TQVPDFInputError(PageName(page.number) + ": /Contents names a missing object");
      TQVInputObject target = file_.ReadObject(static_cast<std::int32_t>(entry.integer));
      if (target.isStream) {
        streams.push_back(entry);
      } else if (target.value.IsArray()) {
        streams = target.value.items;
      } else {
        throw TQVPDFInputError(PageName(page.number) + ": damaged /Contents");
      }
    } else if (entry.IsArray()) {
      streams = entry.items;
    } else {
      throw TQVPDFInputError(PageName(page.number) + ": damaged /Contents");
    }
    for (const TQVPDFValue& stream : streams) {
      if (!stream.IsReference() || stream.integer <= 0 || stream.integer >= file_.Size())
        throw TQVPDFInputError(PageName(page.number) + ": damaged /Contents");
      page.contents.push_back(static_cast<std::int32_t>(stream.integer));
    }
  }

  TQVPDFInputFile& file_;
  TQVInputPageTree& tree_;
  std::unordered_set<std::int32_t> visited_;
  std::uint64_t inheritedBytes_ = 0;
};

}  // namespace

const TQVPDFValue* TQVInputPage::Find(std::string_view key) const {
  if (const TQVPDFValue* own = dictionary.Find(key)) return own;
  for (const auto& entry : inherited)
    if (entry->key == key) return &entry->value;
  return nullptr;
}

void TQVInputPage::AppendEntries(std::string& out) const {
  AppendDictionaryEntries(out, dictionary);
  for (const auto& entry : inherited) {
    if (entry->value.IsNull()) continue;
    out += '/';
    out += entry->key;
    out += ' ';
    AppendValue(out, entry->value);
    out += '\n';
  }
}

TQVInputPageTree ReadInputPageTree(TQVPDFInputFile& file) {
  TQVInputPageTree tree;
  const TQVPDFValue* root = file.Trailer().Find("Root");
  if (root == nullptr || !root->IsReference() || root->integer <= 0 || root->integer >= file.Size())
    throw TQVPDFInputError("the trailer has no /Root");
  tree.catalog = static_cast<std::int32_t>(root->integer);
  const TQVPDFValue catalog = file.Resolve(*root);
  const TQVPDFValue* pages = catalog.Find("Pages");
  if (pages == nullptr || !pages->IsReference() || pages->integer <= 0 ||
      pages->integer >= file.Size())
    throw TQVPDFInputError("the catalog has no /Pages");
  tree.root = static_cast<std::int32_t>(pages->integer);
  TreeWalk walk(file, tree);
  walk.Node(tree.root, {}, 0);
  return tree;
}

}  // namespace vellora
