// TQVPDFDevice: the drawing device that writes a PDF file. It adds to the page-content device
// what a document needs around the page content: the output (a file or memory), the file
// frame (header, cross-reference table, trailer), the document and page lifecycle, the
// catalog, the shared resources, the document information and the numbered messages to the
// host.
//
// Lifecycle: closed -> BeginDoc -> document open -> BeginPage -> page open -> EndPage ->
// ... -> EndDoc -> closed. Each page's content streams and the shared objects it completes
// are written when the page ends; the resources, the page tree and the catalog when the
// document ends. A memory output stays available after EndDoc until CloseOutputStream or the
// next BeginDoc; a file output can be copied and saved from the written file.
//
// Numbered messages never stop the document. One device is used by one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "QVPDFDev/device/command_state.h"
#include "QVPDFDev/device/pdf_device_options.h"
#include "QVPDFDev/file/file_identifier.h"
#include "QVPDFDev/file/pdf_writer_settings.h"
#include "QVPDFDev/fonts/font_manager.h"
#include "QVPDFDev/fonts/font_text_state.h"
#include "QVPDFDev/images/pdf_image_writer.h"
#include "QVPDFDev/metadata/info_block.h"
#include "QVPDFDev/metadata/info_document_time.h"
#include "QVPDFDev/navigation/destination_list.h"
#include "QVPDFDev/navigation/destination_writer.h"
#include "QVPDFDev/navigation/outline_node.h"
#include "QVPDFDev/objects/pdf_object_owner.h"
#include "QVPDFDev/objects/pdf_stream.h"
#include "QVPdfDC/ps_device.h"
#include "QVRasterDC/render_on_page.h"
#include "qvplatform/bitmap_canvas.h"

namespace vellora {

class TFolvioEncryptInfo;
class TQVPDFCatalog;
class TQVPDFInfo;
class TQVPDFLink;
class TQVPDFNull;
class TQVPDFPage;
class TQVPDFResource;
class TQVPDFDevice;
class TQVPDFForm;
class TQVInputImport;

// The host's callbacks (C function pointers; user data first).
// Engine callback: kind 1 a message (value = code), kind 2 the input page count, kind 3 an
// imported page in read mode.
using TQVPDFEngineCallback = void (*)(void* userData, std::int32_t kind, std::int32_t value,
                                      const char* text);
// Notification: kind 3 a font was embedded (its name), kind 4 an input PDF was loaded (file
// name, page count).
using TQVPDFNotifyCallback = void (*)(void* userData, std::int32_t kind, const char* text,
                                      std::int32_t value);
// Every message: its code, its text and the text's length.
using TQVPDFMessageCallback = void (*)(void* userData, std::int32_t code, const char* text,
                                       std::int32_t length);
// Every message, with the device as sender and kind 1.
using TQVPDFMessageEvent = std::function<void(TQVPDFDevice& sender, std::int32_t kind,
                                              const std::string& text, std::int32_t code)>;
// Writes an object instead of the object's own writer; true when it did.
using TQVPDFWriteObjectEvent = std::function<bool(TQVPDFDevice& device, TQVCustomPDFType& object)>;

// Who hears from the device: the host's callbacks and the events of whoever owns it.
struct TQVPDFReceivers {
  TQVPDFEngineCallback engineCallback = nullptr;
  void* engineUserData = nullptr;
  TQVPDFNotifyCallback notifyCallback = nullptr;
  TQVPDFMessageCallback messageCallback = nullptr;
  void* callbackUserData = nullptr;  // for the notification and message callbacks
  TQVPDFMessageEvent onMessage;
  TQVPDFWriteObjectEvent onWriteObject;

  void SetEngineCallback(TQVPDFEngineCallback callback, void* userData) {
    engineCallback = callback;
    engineUserData = userData;
  }
};

// The page's thumbnail raster, on which drawing marks the areas it covers (slot 60). Pixel
// (0, 0) is the top left of the page as shown: the raster holds the page turned clockwise by
// quarterTurns as its /Rotate shows it; one turn takes a page point (x, y down) to
// (page height - y, x).
struct TQVThumbnailRaster {
  qvplatform::TBitmap bitmap;           // no handle: no raster
  bool renderedDirectly = false;        // the page was played into the raster: nothing is marked
  int quarterTurns = 0;                 // 0 to 3
  float pageWidth = 0, pageHeight = 0;  // the page the raster shows, points
  bool monochrome = false;              // rasters are made 1-bit (integer key 11)
};

// The picture a play is about to draw on the page, for the thumbnail raster (bits null: none).
struct TQVThumbnailPicture {
  const std::uint8_t* bits = nullptr;
  std::size_t size = 0;
  TQVPagePicture placement;
};

// A rectangle in points with y downwards from the top of the page.
struct TQVPDFRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Message 11 at BeginDoc when a PDF/A document asks for encryption: it is written as PDF/A,
// unencrypted.
inline constexpr const char* kEncryptionNotAllowedInPDFA = "Encryption not allowed in PDF/A file";

class TQVPDFDevice : public TQVGenericPSDevice,
                     public TQVPDFObjectOwner,
                     public TQVDestinationHost,
                     public TQVPDFImageHost,
                     private TQVFontMessageReceiver,
                     private TQVFontStreamReporter {
 public:
  TQVPDFDevice();
  ~TQVPDFDevice() override;

  // ---- Overrides of the generic and page-content devices ------------------------------

  // 2: a metafile played while a document is open and no page is: opens a page of the
  // picture's size (one unit wider) at equal resolutions and returns 1; otherwise 0. The
  // picture keeps the scale the player gave it.
  std::int32_t BeginPicture(std::int32_t width, std::int32_t height, std::int32_t xResolution,
                            std::int32_t yResolution) override;
  // 3: ends the page that BeginPicture opened.
  void EndPicture(std::int32_t started) override;
  // 43: without a page, whether a form content stream is current; otherwise true, after
  // opening a new content stream on the page when none is current.
  bool EnsureOutputOpen() override;
  // 48: hatch brushes as uncoloured patterns "winbrush" + style in the shared resources.
  void SelectBrushColorSpace(TQVPDFDeviceWorkBuffer* buffer, std::int32_t hatch,
                             COLORREF color) override;
  // 61: a link over the rectangle x, y, width, height (points, y downwards) on the open page
  // (AddLink). Raises "No page active!" without one, except while a metafile plays: a
  // link the picture cannot place is skipped there rather than stop the picture.
  void AddLinkArea(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                   const std::string& target, const std::string& action) override;
  // 1: plays as the page-content device does, counting the plays under way.
  std::int32_t PlayMetafile(const std::uint8_t* bits, std::size_t size, std::int32_t xOffset,
                            std::int32_t yOffset, std::int32_t targetWidth,
                            std::int32_t targetHeight, bool measureOnly, std::int32_t xResolution,
                            std::int32_t yResolution) override;
  // 49: an ICC colour space in the shared resources (none outside a document).
  void AddICCColorSpace(const std::string& name, std::int32_t kind, const std::uint8_t* data,
                        std::int32_t length, std::int32_t components,
                        const std::string& alternate) override;

  // ---- Text state and font hooks (pdf_device_fonts.cpp) --------------------------------
  // Each answers from the current font of the shared resources (TQVPDFFontManager).

  // 45: opens the output, selects the PDF font of the current level and, with a buffer,
  // writes the text state that differs from what was last written. Without a buffer the
  // font is only selected, for measuring. Raises outside a document.
  void WriteTextState(TQVPDFDeviceWorkBuffer* buffer, float fontSize) override;
  std::int32_t GetFontValue() override;
  double TextWidthA(const char* text, std::int32_t length, float size) override;
  std::int32_t CurrentFontKind() override;
  double TextWidthW(const char16_t* text, std::int32_t length, float size) override;
  void FontVerticalMetrics(std::int32_t& first, std::int32_t& second, float size) override;
  bool MeasureTextA(const char* text, std::int32_t length, std::int32_t scale, std::int32_t* widths,
                    float size) override;
  bool MeasureTextW(const char16_t* text, std::int32_t length, std::int32_t scale,
                    std::int32_t* widths, float size) override;
  void ConvertWideText(const char16_t* text, std::int32_t length, std::string& out) override;
  void RegisterUsedCharsA(const char* text, std::int32_t length) override;
  std::uint32_t MapCharCode(std::uint32_t code, std::uint32_t glyph, std::int32_t& width) override;
  void RegisterUsedCharsW(const char16_t* text, std::int32_t length) override;

  // ---- Slots 65..75 --------------------------------------------------------------------

  // 65: raises "Device is not open!" without a document, "Page has not been started!"
  // without a page.
  virtual void CheckPageStarted();
  // 66: frees the output; a finished memory document is gone afterwards.
  virtual void CloseOutputStream();
  // 67: starts a document of width x height device units at resolution (0: 72). Raises
  // "Cannot create file " + name (after message 3) when the output file cannot be made, and
  // kNoRandomBytes when encryption needs random bytes the system does not give; the document
  // stays closed then. Whether the document is encrypted is decided here: a PDF/A document
  // never is (message 11, kEncryptionNotAllowedInPDFA).
  virtual bool BeginDoc(std::int32_t width, std::int32_t height, std::int32_t resolution,
                        std::int32_t reserved);
  // 68: ends an open page (its errors swallowed), writes the objects left, the
  // cross-reference table and the trailer, closes a file output and frees the document.
  // Nothing without an open document.
  virtual void EndDoc();
  // 69: closes the current page (message 7 without one).
  virtual void EndPage();
  // 70: opens a page of width x height device units (0 keeps the previous size; resolutions
  // of 0 keep the current ones); ends an open page first (message 8). Raises in read mode
  // and without a document.
  virtual void BeginPage(std::int32_t width, std::int32_t height, std::int32_t xResolution,
                         std::int32_t yResolution, std::int32_t rotation);
  // 71: after the header and the encryption dictionary. Empty here.
  virtual void AfterWriteHeader() {}
  // 72: the version line, the comment lines, the encryption dictionary (which from then on
  // encrypts every string and stream), and the information object with the XMP packet.
  virtual void WriteHeader();
  // 73: while the document is finished, before resources, pages and catalog. Empty here.
  virtual void WriteExtraObjects() {}
  // 74: the objects left, the cross-reference table and the trailer.
  virtual void WriteXRefAndTrailer();
  // 75: frees the pending objects.
  virtual void ClearTempObjects();

  // ---- Operations -----------------------------------------------------------------------

  // Makes stream (a page content or a form, kind 'T') the current content: begins its data
  // and starts the page-content output into it.
  void StartContent(TQVPDFStream* stream);
  // Ends the drawing of the current content stream, writes it and forgets it.
  void CloseContentStream();
  // Closes an open form XObject stream; the page-open flag is cleared.
  void EndXForm();
  // ---- Form XObjects (pdf_device_forms.cpp) ----------------------------------------------

  // Opens a form of width x height pixels (resolutions of 0: the device's) for drawing; it
  // counts as an open page until EndXForm. Ends a form still open first. Raises "Stream is
  // active - XForm may not be created!" while a page is open, and for a name that the XObject
  // list already answers to (ignoring case) or one over kMaxFormNameLength bytes.
  void BeginXForm(const std::string& name, std::int32_t width, std::int32_t height,
                  std::int32_t xResolution, std::int32_t yResolution, std::int32_t option);
  // The form stream, listed under the name (empty: "qvk" + position) and begun.
  TQVPDFForm* WriteFormXObject(const std::string& name, std::int32_t width, std::int32_t height,
                               std::int32_t xResolution, std::int32_t yResolution,
                               std::int32_t option, std::int32_t resourcesNumber,
                               const std::string& resourcesText, const std::string& boundingBox);
  // Places the closed form of that name (ignoring case) and the forms linked behind it into
  // the current content. A form still open, one already placed in the chain, or no form of
  // that name writes nothing further; false (and message 2) when there is no such form.
  bool DrawXForm(const std::string& name, std::int32_t linkOption, std::int32_t x,
                 std::int32_t width, std::int32_t height, std::int32_t y);
  TQVPDFForm* lastForm = nullptr;  // the form opened last (not owned)
  bool insideForm = false;         // a form is being placed
  std::int32_t formDepth = 0;      // placements under way

  // Copies the document to a file (created or truncated). Nothing when the name is the
  // output file itself (the same file, however named) or in read mode. Raises "Cannot create
  // file " + name, "Cannot open file " + name when the output file cannot be read back, and
  // "No document to save" without any output.
  void SaveToFile(const std::string& fileName);
  // Without a buffer the size of the document; with one, copies min(size, bufferSize) bytes
  // from its start and returns the count (0 for a size of 0 or less, or without output).
  std::int64_t CopyToBuffer(std::int64_t bufferSize, void* buffer);
  // An outline entry with an 8-bit title in the outline charset, for AddOutline.
  std::unique_ptr<TQVPDFOutlineNode> CreateOutlineNode(std::string_view title,
                                                       TQVOutlineTarget target);
  // Files the entry into the document's outline by kind and n (TQVPDFOutline::AddOutline);
  // it leads to the open page, else the last page. Returns its number. Raises "Device is not
  // open!" without a document, and the outline's error for kind 6 with a negative n.
  std::int32_t AddOutline(std::unique_ptr<TQVPDFOutlineNode> node, std::int32_t kind,
                          std::int32_t n);
  // Builds the text of message code and sends it to the message callback, the message event
  // and the engine callback, in this order; receivers that throw are ignored.
  void ReportMessage(std::int32_t code, std::string_view text) override;
  static std::string MessageText(std::int32_t code, std::string_view text);

  // ---- Links, widgets, named destinations (pdf_device_links.cpp) ------------------------

  // A link annotation on the page over the rectangle (points, y downwards): with an action
  // text that text is its action (raises "Invalid link action" for a text that would break
  // the file), else the target decides (LinkActionEntry); a target that is no action is kept
  // as a destination name. In PDF/A a launch target makes nothing (null).
  TQVPDFLink* AddLink(TQVPDFPage& page, const TQVPDFRect& rect, std::string_view target,
                      std::string_view action);
  // The widget annotation of a form field on the open page (rectangle as AddLink), its
  // number reserved at once; counts the form field. Raises "No page active!" without a page.
  TQVPDFLink* AddWidget(const TQVPDFRect& rect, std::string_view dictionaryText);
  // A named destination at (x, y) device units of the open page, at the device's current
  // resolutions: global (the catalog's /Dests) with global or Modes bit 31, else local. A
  // position given with no page open goes to the next page begun, else to the last page.
  // Raises "Device is not open!" without a document.
  void AddNamedDest(std::string_view name, std::int32_t x, std::int32_t y, bool global);
  // Takes an annotation into the device's list, which writes it at the end of the document,
  // and lists it on the page.
  void AddAnnotation(TQVPDFPage& page, std::unique_ptr<TQVCustomPDFType> annotation);
  const std::vector<std::unique_ptr<TQVCustomPDFType>>& Annotations() const { return annotations_; }
  // A file attachment on the open page over the rectangle (logical units) from an attachment
  // record (pdf_device_attachments.cpp). Bodies that share a file system key go to
  // attachments of their own, which show the file name (the texts stay with the first). Nothing
  // when the record holds no usable entry or in PDF/A; raises "No page active!" without a page.
  void AddFileAttachment(const RECTL& rect, const std::uint8_t* record, bool utf8,
                         std::size_t length);
  // Form fields so far: 1 after BeginDoc, so that the first field is number 2.
  std::int32_t formFieldCounter = 0;

  // ---- Images (pdf_device_dib*.cpp, pdf_device_comments.cpp, pdf_device_images.cpp) ----

  // 5: a DIB (40-byte header; colorTable holds the BI_BITFIELDS masks, then the colour
  // entries) drawn as an image XObject at the destination, upright whatever its row order;
  // an equal bitmap drawn before is reused. Colours: the table when hasColorTable, else the
  // palette selected in the DC level (through a table of 16-bit palette indexes when the
  // entries are 2 bytes long), else the default palette; a pixel past them takes entry 0.
  // With crop and a non-zero source size only the source rectangle (rows counted from the
  // bitmap's first stored row) is drawn, into the share of the destination it stands for. The
  // pending bitmap name, when an alias, draws that image instead; otherwise it becomes the
  // alias of the new image. Returns the image number, 0 when nothing was drawn.
  std::int32_t DrawDIBits(bool hasColorTable, std::int32_t srcX, std::int32_t srcY,
                          std::int32_t srcWidth, std::int32_t srcHeight, float dstX, float dstY,
                          float dstWidth, float dstHeight, bool crop, Bytes bits,
                          Bytes bitmapHeader, Bytes colorTable) override;
  // Message 2, as for every bitmap the image road refuses.
  void BitmapRefused() override { ReportMessage(2, "bitmap larger than its record"); }
  // 36: "ChKL" JPEG records become images at their rectangle (logical units, as a blit's
  // destination); everything else goes to the colour and command records.
  void GdiComment(Bytes data) override;
  // 60: fills the area (logical units) on the thumbnail raster, where the page shows it.
  void MarkBitmapRegion(std::int32_t x, std::int32_t y, COLORREF color, std::int32_t width,
                        std::int32_t height) override;
  // A DIB a host hands over without lengths: info (a 12- to 124-byte header, BI_BITFIELDS
  // masks, RGBQUAD colour table) and bits are sized from the header, then drawn as by
  // DrawDIBits with the whole bitmap as source. 0 when the header describes nothing drawable.
  std::int32_t DrawHostDIB(const void* info, const void* bits, float x, float y, float width,
                           float height);
  TQVPDFImageWriter& Images() { return images_; }

  // ---- TQVPDFImageHost --------------------------------------------------------------------

  TQVPDFObjectOwner& ImageOwner() override { return *this; }
  TQVImageOptions ImageOptions() const override;
  std::string& PendingImageName() override { return pendingImageName; }
  qvplatform::TStringList& ImageAliases() override { return imageAliases; }
  void ReportImageMessage(std::string_view detail) override { ReportMessage(2, detail); }
  qvplatform::HDC ReferenceDC() override { return screenDC; }
  void PrepareImageDraw(std::int32_t x, std::int32_t y, std::int32_t width,
                        std::int32_t height) override;
  TQVPDFDeviceWorkBuffer& ImageContent() override { return workBuffer; }
  long double ImageYOrigin() const override { return yOrigin; }
  bool ImageYFlipped() const override { return dcStack.yFlip; }

  // ---- TQVPDFObjectOwner -----------------------------------------------------------------

  TQVPDFFileWriter& Output() override { return *output_; }
  const TQVPDFWriterSettings& WriterSettings() const override { return options.writer; }
  TQVPDFResource* SharedResources() override { return resources_.get(); }
  bool WriteObjectEvent(TQVCustomPDFType& object) override;
  void MarkContentStateDirty() override;
  std::string DocumentLanguage() const override { return options.info.Language(); }

  // ---- Fonts -----------------------------------------------------------------------------

  TQVPDFFontManager& Fonts() { return fonts_; }
  // Font mode, excluded and embed-only faces, extra messages (the CID mode follows
  // cidFontMode at every font selection).
  TQVPDFFontSettings& FontSettings() { return fonts_.Settings(); }
  // The font alias command: text "name=target", split at the first "="; false when nothing
  // was added.
  bool AddFontAlias(std::string_view text);

  // ---- TQVDestinationHost ----------------------------------------------------------------

  std::int32_t DestinationXResolution() const override { return xResolution; }
  std::int32_t DestinationYResolution() const override { return yResolution; }
  double CurrentPageHeight() const override { return pageHeight; }
  const TQVLocalDestinations& LocalDestinations() const override { return localDestinations_; }
  TQVLocalDestinations& LocalDestinations() { return localDestinations_; }

  // ---- Document state --------------------------------------------------------------------

  bool DocumentOpen() const { return documentOpen_; }
  bool PageOpen() const { return pageOpen_; }
  TQVPDFCatalog* Catalog() const { return catalog_.get(); }
  TQVPDFPage* CurrentPage() const { return currentPage_.get(); }
  TQVPDFPage* LastPage() const { return lastPage_; }
  TQVPDFStream* CurrentContent() const { return currentContent_; }
  TQVPDFInfo* InfoObject() const { return info_.get(); }
  // The encryption dictionary and cipher while an encrypted document is written.
  TFolvioEncryptInfo* EncryptionObject() const { return encryption_.get(); }
  const TQVFileIdentifier& FileId() const { return fileId_; }
  // Pages made elsewhere (an input PDF) that the catalog takes at the end of the document.
  std::vector<std::unique_ptr<TQVPDFPage>>& PendingPages() { return pendingPages_; }
  // Objects written at the end of the document unless written before.
  std::vector<std::unique_ptr<TQVCustomPDFType>>& PendingObjects() { return pendingObjects_; }
  // Whether a finished or growing document can be copied or saved.
  bool HasOutput() const { return hasOutput_; }

  // ---- Input PDF (pdf_device_input.cpp) -------------------------------------------------

  // BeginDoc's reading of the input file (input modes 1..5): in read mode each page's decoded
  // content goes to the engine callback (kind 3) until the host answers stop; otherwise the
  // input is checked and planned for WriteInputObjects. A missing file switches the input
  // mode off. Raises with the reason when the input cannot be used; nothing of it is in the
  // document then.
  void ReadInputFile(const std::string& fileName);
  // After the header: the input's objects with their numbers, then its pages as placeholders
  // in the page tree (modes 1 and 4) or as the forms "inpage" + n (modes 2 and 3).
  void WriteInputObjects();
  std::int32_t readContentCount = 0;  // kind-3 callbacks of the document
  bool inputAborted = false;          // the host asked to stop the import

  // ---- Embedded commands (pdf_device_commands.cpp, pdf_device_tagging.cpp) ------------

  // 57: links, destinations, bookmarks, images, hidden text, text settings, layout classes.
  void HandleEmbeddedCommand(const RECTL& rect, std::int32_t code, const std::string& text,
                             bool& handled) override;
  // 58: JPEG data, attachments, structure elements and marked content.
  void HandleTaggingCommand(const RECTL& rect, std::int32_t code, const std::uint8_t* data,
                            std::int32_t length, bool& handled) override;
  // The outline level the next bookmark command goes down or up to.
  std::int32_t& PendingOutlineLevel() { return commandState_.pendingOutlineLevel; }
  std::int32_t MarkedContentDepth() const { return commandState_.markedContentDepth; }

  // ---- Settings and receivers -----------------------------------------------------------

  // Writer, files, security, images, text and document information (pdf_device_options.h);
  // the font settings are the font manager's (FontSettings), the CID font mode is the
  // page-content device's (contentOptions; non-zero forces version 1.4).
  TQVPDFDeviceOptions options;
  TQVPDFReceivers receivers;

  // ---- Images --------------------------------------------------------------------------

  std::string pendingImageName;   // the name of the next image (commands set it)
  std::string pendingBitmapName;  // the alias of the next drawn bitmap (commands set it)
  // Image names to image numbers: "auto__" + NAME for pending image names, NAME for pending
  // bitmap names.
  qvplatform::TStringList imageAliases;
  TQVThumbnailRaster thumbnailRaster;
  // Rasters 1-bit or 24-bit from now on; a raster of the other kind keeps its pixels.
  void SetThumbnailMonochrome(bool monochrome);

  // ---- Written by the lifecycle ----------------------------------------------------------

  TQVDocumentTime documentTime;         // the start of the document
  std::int32_t inputPageCount = 0;      // of the input PDF, sent to the engine callback
  bool textStateResetPending = true;    // the next text writes its whole text state
  std::string outputFileNameUsed;       // the file actually opened
  float pageWidth = 0, pageHeight = 0;  // the current page, points
  bool firstPageSizePending = false;
  bool landscape = false;
  TQVPDFStream* xformStream = nullptr;  // an open form XObject (not owned)

 protected:
  // The catalog of a new document (the extended device makes its own kind).
  virtual std::unique_ptr<TQVPDFCatalog> CreateCatalog();

 private:
  // The page-content device writes its finished content into the current content stream.
  class ContentSink : public TQVOutputStream {
   public:
    void Write(const char* data, std::size_t size) override {
      if (stream != nullptr) stream->WriteBytes(data, size);
    }
    TQVPDFStream* stream = nullptr;
  };

  void OpenOutput();
  void FreeDocument();
  // Named destinations given with no page open get this page.
  void BindUnplacedDestinations(TQVPDFPage* page);
  void FontMessage(std::int32_t code, const std::string& text) override;
  void FontSubsetFailed(const std::string& fontName, const std::string& reason) override;
  void SendPageStartCommands();
  // Readers refuse pages larger than 14400 units a side: a larger page is cut to that size,
  // with message 11.
  static constexpr float kMaxPageSide = 14400.0f;
  void LimitPageSize();
  // The picture bracket's page: opened when none is (BeginPicture's result).
  std::int32_t OpenPicturePage(std::int32_t width, std::int32_t height, std::int32_t xResolution,
                               std::int32_t yResolution);
  // Thumbnails (pdf_device_thumbnail.cpp): the raster sized and whitened for the page begun,
  // the picture about to play drawn on it where the page shows it, the raster as the ended
  // page's thumbnail unless the host gave one.
  void PrepareThumbnailRaster(std::int32_t rotation);
  void DrawPictureOnThumbnail();
  void AttachThumbnail(TQVPDFPage& page);
  void OpenStructElement(const std::uint8_t* data, std::size_t length);
  void BeginMarkedContent(const std::uint8_t* data, std::size_t length);
  void EndMarkedContent();
  // Ends the sequences still open, so that no page carries its depth to the next.
  void CloseOpenMarkedContent();
  // A destination or outline position from output coordinates to device units.
  std::int32_t ToDeviceX(std::int32_t x) const;
  std::int32_t ToDeviceY(std::int32_t y) const;
  void AddBookmark(const std::string& text, const RECTL& rect, std::int32_t code);
  void WriteHiddenText(const std::string& text);
  // Font steps at the end of a document (pdf_device_fonts.cpp): the font files that no font
  // wrote; then the fonts' state is released before the resources go.
  void WriteFontFiles();
  void ReleaseFonts();

  std::unique_ptr<TQVPDFFileWriter> output_;
  bool hasOutput_ = false;
  bool documentOpen_ = false;
  bool pageOpen_ = false;
  TQVFileIdentifier fileId_{};
  std::unique_ptr<TQVPDFCatalog> catalog_;
  std::unique_ptr<TQVPDFNull> nullObjects_[2];
  // Declared before the resources: their fonts refer to the manager.
  TQVPDFFontManager fonts_{this};
  TQVTextStateRecord textState_;
  std::unique_ptr<TQVPDFResource> resources_;
  std::unique_ptr<TQVPDFInfo> info_;
  std::unique_ptr<TFolvioEncryptInfo> encryption_;  // also the file writer's cipher
  std::unique_ptr<TQVPDFPage> currentPage_;
  TQVPDFPage* lastPage_ = nullptr;
  TQVPDFStream* currentContent_ = nullptr;
  ContentSink contentSink_;
  std::vector<std::unique_ptr<TQVPDFPage>> pendingPages_;
  std::vector<std::unique_ptr<TQVCustomPDFType>> pendingObjects_;
  TQVLocalDestinations localDestinations_;
  std::vector<std::unique_ptr<TQVCustomPDFType>> annotations_;
  std::int32_t playDepth_ = 0;                     // metafiles playing
  TQVThumbnailPicture thumbnailPicture_;           // the outermost play's, until drawn
  std::unique_ptr<TQVPDFStream> emptyAppearance_;  // of attachments with icon 0
  TQVPDFImageWriter images_{*this};
  std::vector<std::uint8_t> dibScratch_;  // cropped bitmaps, reused from call to call
  TQVCommandState commandState_;
  std::unique_ptr<TQVInputImport> input_;  // read at BeginDoc, written after the header
};

}  // namespace vellora
