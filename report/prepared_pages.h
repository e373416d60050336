// Prepared pages: the pages a report build produces, each kept as its paper and a page object stream (a
// version byte 23, then every object as its type byte, [class name], and its prepared form). In memory the
// stream keeps its texts as text (TfrPageStream), so preparing never limits a text's length or letters. A
// page is turned back into objects only to draw, export or edit it.
//
// The prepared-report file ("*.frp"): compression flag (byte), printer name (version-23 string), page count
// (int32), then per page: end offset (int32, the file position where the next page starts), paper size code
// (u16), paper width and height (int32), orientation (byte), use margins (byte) and the page object stream.
// Files whose first byte is 2 to 254 are of the older metafile layout, whose pages each become one picture.
// The file holds each page's objects as the report's streams hold them, each text in at most 65535 bytes;
// a page with a longer text is refused when the file is written.
#pragma once
#include "platform/core/streams.h"
#include "report/page.h"
#include "report/page_stream.h"
#include "report/view_stream.h"
#include <functional>
#include <memory>
#include <vector>

class TCanvas;

// The process-wide compressor of prepared pages. None is built into this program: it is off, and its
// operations copy the data unchanged.
class TfrCompressor {
public:
  virtual ~TfrCompressor() = default;
  virtual void Compress(TStream *source, TStream *target);
  virtual void Decompress(TStream *source, TStream *target);
  bool Enabled = false;
};
TfrCompressor *frCompressor();

// One prepared page.
struct TfrPageInfo {
  TRect R; // the page's place in the preview
  quint16 pgSize = 0;
  qint32 pgWidth = 0;
  qint32 pgHeight = 0;
  quint8 pgOr = 0;
  quint8 pgMargins = 0; // 1 when the page uses its margins
  TfrPrnInfo PrnInfo;
  // Set while the page is on screen or being printed; drawing a page that is not visible frees its objects.
  bool Visible = false;
  std::unique_ptr<TfrPageStream> Stream;
  std::unique_ptr<TfrPage> Page; // the live objects, made on demand
};

class TfrEMFPages {
public:
  TfrEMFPages() = default;
  TfrEMFPages(const TfrEMFPages &) = delete;
  TfrEMFPages &operator=(const TfrEMFPages &) = delete;

  int Count() const { return int(pages_.size()); }
  TfrPageInfo &operator[](int index) { return *pages_.at(size_t(index)); }

  // Appends a page with the paper and printer information of a template page, then calls OnPageAdded.
  void Add(const TfrPage *templatePage);
  // As Add, at the index (appended past the end); OnPageAdded is not called.
  void Insert(int index, const TfrPage *templatePage);
  void Delete(int index);
  void Clear();
  void Swap(TfrEMFPages &other) { pages_.swap(other.pages_); }

  // Draws a visible page into `target` on the canvas (scaled from the page's size in report units); a page
  // not visible releases its objects instead.
  void Draw(int index, TCanvas *canvas, const TRect &target);
  // Makes the page's objects from its stream (EfrStreamError for a damaged stream).
  void LoadObjects(int index);
  // Writes the page's live objects back to its stream, their memo becoming their expanded text.
  void StoreObjects(int index);

  // The prepared-report file. Writing refuses (EWriteError, naming the page) what the form cannot hold,
  // leaving the stream as it was. Reading builds a new list and takes it only when the whole file has been
  // read and every page parses; then the stored printer is selected (unless printToDefault) and each page's
  // paper given to the printer wrapper. A damaged or unsupported file raises EfrStreamError and the list
  // keeps its pages.
  void SaveToStream(TStream *stream);
  void LoadFromStream(TStream *stream, bool printToDefault);
  // The file is written whole or not at all.
  void SaveToFile(const QString &fileName);
  void LoadFromFile(const QString &fileName, bool printToDefault);

  // Called after Add with the new page's index (the report fires its OnBeginPage).
  std::function<void(int)> OnPageAdded;

private:
  std::unique_ptr<TfrPageInfo> MakePage(const TfrPage *templatePage) const;
  void ReadPages(TStream *stream, int compression, QString &printerName);
  void ReadMetafilePages(TStream *stream, QString &printerName);

  std::vector<std::unique_ptr<TfrPageInfo>> pages_;
  // Metafiles of pages read from the older layout, made into page objects once the file is taken.
  std::vector<std::pair<TfrPageInfo *, QByteArray>> metafiles_;
};

// Reads the objects of a page object stream into `page` (EfrStreamError when it is damaged).
void frReadPageObjects(TMemoryStream *stream, TfrPage *page);
