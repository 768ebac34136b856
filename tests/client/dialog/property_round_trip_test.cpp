// The dialog loads every setting of the component and writes it back unchanged; user input
// reaches the component, "Cancel" changes nothing, and confirming dates the document today.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QTest>
#include <cmath>
#include <iterator>
#include <ostream>

#include "dialog_test_support.h"
#include "qvplatform/clock.h"

namespace brenlow_test {
namespace {

using namespace brenlow;

// Everything the dialog edits, for comparing a component before and after.
struct Settings {
  bool convertJPEG = false;
  std::string filename, producer, author, title, subject, keywords;
  TQVCompressStreamMethod compression = qvCompressNone;
  TQVPDFCidFontMode cid = qvCIDOff;
  TQVPDFAMode pdfa = folvioaOff;
  TFolvioSecurity security = qvp40bit;
  TQVEncodeStreamMethod encode = qvEncodeNone;
  bool thumbnails = false, outlines = false;
  TQVPDFPageModes pageMode = pwUseNone;
  TQVPDFFontMode fontMode = qvUseTrueTypeFonts;
  std::uint16_t encryption = 0;
  std::string ownerPassword, userPassword;
  TQVPDFInputfileMode inputMode = pwIgnoreInput;
  std::string inputFile;
  bool operator==(const Settings&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Settings& s) {
  return os << "jpeg " << s.convertJPEG << " file '" << s.filename << "' info '" << s.producer
            << "' '" << s.author << "' '" << s.title << "' '" << s.subject << "' '" << s.keywords
            << "' compress " << s.compression << " cid " << s.cid << " pdfa " << s.pdfa
            << " security " << s.security << " encode " << s.encode << " thumbs " << s.thumbnails
            << " outlines " << s.outlines << " page " << s.pageMode << " font " << s.fontMode
            << " encryption " << s.encryption << " pw '" << s.ownerPassword << "' '"
            << s.userPassword << "' input " << s.inputMode << " '" << s.inputFile << "'";
}

// A component class that shows the two hidden boxes.
class TQVPDFExport : public TQVPDFPrinter {
 public:
  std::string ClassName() const override { return "TQVPDFExport"; }
};

void Apply(const Settings& s, TQVPDFPrinter& p) {
  p.SetConvertJPEGData(s.convertJPEG);
  p.SetFilename(s.filename);
  p.Info().SetProducer(s.producer);
  p.Info().SetAuthor(s.author);
  p.Info().SetTitle(s.title);
  p.Info().SetSubject(s.subject);
  p.Info().SetKeywords(s.keywords);
  p.SetCompressStreamMethod(s.compression);
  p.SetCidFontMode(s.cid);
  p.SetPDFAMode(s.pdfa);
  p.SetSecurity(s.security);
  p.SetEncodeStreamMethod(s.encode);
  p.SetCreateThumbnails(s.thumbnails);
  p.SetCreateOutlines(s.outlines);
  p.SetPageMode(s.pageMode);
  p.SetFontMode(s.fontMode);
  p.SetEncryption(TFolvioEncryption::FromBits(s.encryption));
  p.SetOwnerPassword(s.ownerPassword);
  p.SetUserPassword(s.userPassword);
  p.SetInputfileMode(s.inputMode);
  p.SetInputFile(s.inputFile);
}

Settings Read(const TQVPDFPrinter& p) {
  return {p.ConvertJPEGData(),    p.Filename(),       p.Info().Producer(), p.Info().Author(),
          p.Info().Title(),       p.Info().Subject(), p.Info().Keywords(), p.CompressStreamMethod(),
          p.CidFontMode(),        p.PDFAMode(),       p.Security(),        p.EncodeStreamMethod(),
          p.CreateThumbnails(),   p.CreateOutlines(), p.PageMode(),        p.FontMode(),
          p.Encryption().Value(), p.OwnerPassword(),  p.UserPassword(),    p.InputfileMode(),
          p.InputFile()};
}

constexpr TQVCompressStreamMethod kCompressions[] = {qvCompressNone, qvCompressRunlength,
                                                     qvCompressFlate, qvCompressFastFlate};
constexpr TQVEncodeStreamMethod kEncodings[] = {qvEncodeNone, qvASCII85Encode, qvASCIIHexEncode};
constexpr TQVPDFPageModes kPageModes[] = {pwUseNone, qvUseOutlines, qvUseThumbs, qvFullScreen};
constexpr TQVPDFFontMode kFontModes[] = {
    qvUseTrueTypeFonts,    qvEmbedTrueTypeFonts,           qvEmbedSymbolTrueTypeFonts,
    qvUseBase14Type1Fonts, qvEmbedSubsetTrueType_Charsets, qvEmbedSubsetTrueType_UsedChar};
constexpr TQVPDFInputfileMode kInputModes[] = {pwIgnoreInput, pwAppendToInput,
                                               qvConvertInputToWatermark, qvUseInputAsWatermark};

// Case i takes the i-th value of every list (cycling), and each box on in odd or even cases;
// the six cases together cover every value of every control.
Settings Case(int i) {
  const auto at = [i](const auto& list) {
    return list[static_cast<std::size_t>(i) % std::size(list)];
  };
  const bool odd = i % 2 == 1;
  Settings s;
  s.convertJPEG = odd;
  s.filename = "/tmp/out " + std::to_string(i) + ".pdf";
  s.producer = "Producer " + std::to_string(i);
  s.author = "Autor \xE4\xF6\xFC";  // umlauts in the system code page
  s.title = "Title " + std::to_string(i);
  s.subject = odd ? "" : "Subject";
  s.keywords = "k1, k2";
  s.compression = at(kCompressions);
  s.encode = at(kEncodings);
  s.pageMode = at(kPageModes);
  s.fontMode = at(kFontModes);
  s.inputMode = at(kInputModes);
  s.thumbnails = odd;
  s.outlines = !odd;
  s.cid = odd ? qvCIDUnicode : qvCIDOff;
  s.pdfa = i % 3 == 0 ? folvioaLevelA : folvioaOff;
  s.security = odd ? qvp128bit : qvp40bit;
  // Encrypted cases carry alternating permissions (and one a member with no box); the
  // others carry none, since an unchecked "Encrypt PDF File" clears the set.
  TFolvioEncryption e;
  if (i % 3 != 2) {
    e.Include(qvEncryptFile);
    if (odd)
      e.Include(qvEnablePrinting).Include(qvEnableChanging);
    else
      e.Include(qvEnableCopying).Include(qvEnableForms);
    if (i == 4) e.Include(qvLowQualityPrintOnly).Include(qvEnableAccessibilityOp);
  }
  s.encryption = e.Value();
  s.ownerPassword = "owner" + std::to_string(i);
  s.userPassword = odd ? "" : "user";
  s.inputFile = "/tmp/in.pdf";
  return s;
}

TEST(PropertyFormRoundTrip, ConfirmingAnUntouchedDialogKeepsEverySetting) {
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    for (bool exportClass : {false, true}) {
      std::unique_ptr<TQVPDFPrinter> p =
          exportClass ? std::make_unique<TQVPDFExport>() : std::make_unique<TQVPDFPrinter>();
      const Settings before = Case(i);
      Apply(before, *p);
      auto form = ShownForm(*p);
      QTest::mouseClick(&Control<QPushButton>(*form, "Button4"), Qt::LeftButton);
      EXPECT_EQ(form->result(), QDialog::Accepted);
      EXPECT_EQ(Read(*p), before);
    }
  }
}

TEST(PropertyFormRoundTrip, LoadsTheControlsFromTheComponent) {
  TQVPDFPrinter p;
  Apply(Case(1), p);
  p.SetCompressStreamMethod(qvCompressRunlength);
  auto form = ShownForm(p);
  EXPECT_TRUE(Control<QRadioButton>(*form, "CompressionGroupItem1").isChecked());
  EXPECT_EQ(Control<QRadioButton>(*form, "CompressionGroupItem1").text(), "run length");
  EXPECT_EQ(Control<QComboBox>(*form, "FontMode").currentText(), "Embed TrueType Fonts");
  EXPECT_EQ(Control<QComboBox>(*form, "PageMode").currentText(), "Use Outlines");
  EXPECT_EQ(Control<QLineEdit>(*form, "Edit4").text(), QString::fromUtf8("Autor äöü"));
  EXPECT_EQ(Control<QLineEdit>(*form, "Edit1").text(), "/tmp/out 1.pdf");
  EXPECT_TRUE(Control<QCheckBox>(*form, "HighSecurity").isChecked());
  EXPECT_EQ(Control<QLabel>(*form, "Label6").text(), "Creator:");
  EXPECT_EQ(form->windowTitle(), "PDF Creation Properties");
}

TEST(PropertyFormRoundTrip, UserInputReachesTheComponent) {
  TQVPDFPrinter p;
  Apply(Case(2), p);  // not encrypted
  auto form = ShownForm(*&p);
  QLineEdit& author = Control<QLineEdit>(*form, "Edit4");
  author.clear();
  QTest::keyClicks(&author, "New author");
  QTest::mouseClick(&Control<QRadioButton>(*form, "CompressionGroupItem2"), Qt::LeftButton);
  QTest::mouseClick(&Control<QRadioButton>(*form, "EncodeGroupItem1"), Qt::LeftButton);
  QComboBox& pageMode = Control<QComboBox>(*form, "PageMode");
  pageMode.setFocus();
  QTest::keyClick(&pageMode, Qt::Key_Down);
  Control<QTabWidget>(*form, "PageControl1").setCurrentIndex(2);
  Toggle(Control<QCheckBox>(*form, "EncryptIt"));
  Toggle(Control<QCheckBox>(*form, "EncryptOpt1"));
  QTest::keyClicks(&Control<QLineEdit>(*form, "UserPW"), "-typed");
  QTest::mouseClick(&Control<QPushButton>(*form, "Button4"), Qt::LeftButton);

  EXPECT_EQ(p.Info().Author(), "New author");
  EXPECT_EQ(p.CompressStreamMethod(), qvCompressFlate);
  EXPECT_EQ(p.EncodeStreamMethod(), qvASCII85Encode);
  EXPECT_EQ(p.PageMode(), qvFullScreen);  // case 2 holds qvUseThumbs
  EXPECT_EQ(p.Encryption(), (TFolvioEncryption{qvEncryptFile, qvEnablePrinting}));
  EXPECT_EQ(p.UserPassword(), "user-typed");
}

TEST(PropertyFormRoundTrip, CancelChangesNothing) {
  qvplatform::ScopedClockOverride clock(qvplatform::EncodeDateTime(2026, 3, 4, 15, 30));
  TQVPDFPrinter p;
  Apply(Case(3), p);
  const double created = p.Info().CreationDate();
  auto form = ShownForm(p);
  QTest::keyClicks(&Control<QLineEdit>(*form, "Edit5"), " changed");
  Toggle(Control<QCheckBox>(*form, "CIDFonts"));
  QTest::mouseClick(&Control<QPushButton>(*form, "Button5"), Qt::LeftButton);
  EXPECT_EQ(form->result(), QDialog::Rejected);
  EXPECT_EQ(Read(p), Case(3));
  EXPECT_EQ(p.Info().CreationDate(), created);
}

TEST(PropertyFormRoundTrip, ConfirmingDatesTheDocumentTodayAtMidnight) {
  qvplatform::ScopedClockOverride clock(qvplatform::EncodeDateTime(2026, 3, 4, 15, 30));
  TQVPDFPrinter p;
  p.Info().SetCreationDate(qvplatform::EncodeDateTime(2001, 1, 1, 8, 0));
  auto form = ShownForm(p);
  QTest::mouseClick(&Control<QPushButton>(*form, "Button4"), Qt::LeftButton);
  EXPECT_EQ(p.Info().CreationDate(), qvplatform::EncodeDateTime(2026, 3, 4));
}

TEST(PropertyFormRoundTrip, UncheckingEncryptionClearsTheSetAndKeepsThePasswords) {
  TQVPDFPrinter p;
  Apply(Case(0), p);  // encrypted
  auto form = ShownForm(p);
  Toggle(Control<QCheckBox>(*form, "EncryptIt"));
  QTest::keyClicks(&Control<QLineEdit>(*form, "OwnerPW"), "ignored");
  QTest::mouseClick(&Control<QPushButton>(*form, "Button4"), Qt::LeftButton);
  EXPECT_TRUE(p.Encryption().Empty());
  EXPECT_EQ(p.OwnerPassword(), "owner0");
  EXPECT_EQ(p.UserPassword(), "user");
}

TEST(PropertyFormRoundTrip, ACheckedCidBoxKeepsTheSymbolOnlyMode) {
  TQVPDFPrinter p;
  p.SetCidFontMode(qvCIDSymbolOnly);
  auto form = ShownForm(p);
  QTest::mouseClick(&Control<QPushButton>(*form, "Button4"), Qt::LeftButton);
  EXPECT_EQ(p.CidFontMode(), qvCIDSymbolOnly);
}

}  // namespace
}  // namespace brenlow_test
