#include "report/prepared_pages.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/printer.h"
#include "report/model_state.h"
#include "report/picture_view.h"
#include "report/stream_utils.h"
#include "report/view_stream.h"
#include <QFile>
#include <QSaveFile>

namespace {

// The fewest bytes a page block takes: end offset and paper fields.
constexpr qint64 kSmallestPageBlock = 4 + 2 + 4 + 4 + 1 + 1;

void CheckCount(TStream *stream, qint32 count) {
  if (count < 0 || count > (stream->Size() - stream->Position()) / kSmallestPageBlock)
    throw EfrStreamError(
        QStringLiteral("The prepared report claims %1 pages, more than the file holds").arg(count));
}

// Writes a page object stream: the version byte, then each object in prepared form, its text to draw being
// its expanded text.
void WritePageObjects(TfrPage *page, TStream *stream) {
  stream->WriteUInt8(frCurrentVersion);
  for (int i = 0; i < page->ObjectCount(); ++i) {
    TfrView *view = page->Object(i);
    view->PreparedForm = true;
    view->Memo1.Assign(&view->Memo);
    frWriteViewEntry(stream, view);
  }
}

// The paper and margins a stored page was prepared for, as they lead its block.
std::unique_ptr<TfrPageInfo> ReadPageSetup(TStream *stream) {
  auto page = std::make_unique<TfrPageInfo>();
  page->pgSize = stream->ReadUInt16();
  page->pgWidth = stream->ReadInt32();
  page->pgHeight = stream->ReadInt32();
  page->pgOr = stream->ReadUInt8();
  page->pgMargins = stream->ReadUInt8();
  return page;
}

} // namespace

// ---- compressor ----

void TfrCompressor::Compress(TStream *source, TStream *target) {
  target->CopyFrom(source, source->Size() - source->Position());
}

void TfrCompressor::Decompress(TStream *source, TStream *target) {
  target->CopyFrom(source, source->Size() - source->Position());
}

TfrCompressor *frCompressor() {
  static TfrCompressor compressor;
  return &compressor;
}

// ---- the list ----

std::unique_ptr<TfrPageInfo> TfrEMFPages::MakePage(const TfrPage *templatePage) const {
  auto info = std::make_unique<TfrPageInfo>();
  info->pgSize = quint16(templatePage->pgSize);
  info->pgWidth = templatePage->pgWidth;
  info->pgHeight = templatePage->pgHeight;
  info->pgOr = templatePage->pgOr;
  info->pgMargins = templatePage->UseMargins ? 1 : 0;
  info->PrnInfo = templatePage->PrnInfo;
  info->Stream = std::make_unique<TfrPageStream>();
  info->Stream->WriteUInt8(frCurrentVersion);
  return info;
}

void TfrEMFPages::Add(const TfrPage *templatePage) {
  pages_.push_back(MakePage(templatePage));
  if (OnPageAdded) OnPageAdded(Count() - 1);
}

void TfrEMFPages::Insert(int index, const TfrPage *templatePage) {
  auto page = MakePage(templatePage);
  if (index < 0 || index >= Count())
    pages_.push_back(std::move(page));
  else
    pages_.insert(pages_.begin() + index, std::move(page));
}

void TfrEMFPages::Delete(int index) {
  if (index < 0 || index >= Count()) throw EListError(QStringLiteral("Page index out of range"));
  pages_.erase(pages_.begin() + index);
}

void TfrEMFPages::Clear() {
  while (Count() > 0) Delete(0);
}

// ---- objects ----

void frReadPageObjects(TMemoryStream *stream, TfrPage *page) {
  stream->SetPosition(0);
  try {
    const int version = stream->ReadUInt8();
    if (version != frCurrentVersion)
      throw EfrStreamError(QStringLiteral("A prepared page is of the unknown version %1").arg(version));
    TfrStreamVersionScope scope(version);
    while (stream->Position() < stream->Size()) {
      const int typ = stream->ReadUInt8();
      std::unique_ptr<TfrView> view = frCreateViewOfEntry(stream, typ);
      view->PreparedForm = true;
      view->LoadFromStream(stream);
      page->Add(std::move(view));
    }
  } catch (const EfrStreamError &) {
    throw;
  } catch (const EReadError &) {
    throw EfrStreamError(QStringLiteral("A prepared page is damaged: it ends inside an object"));
  }
}

void TfrEMFPages::LoadObjects(int index) {
  TfrPageInfo &info = (*this)[index];
  info.Page.reset();
  auto page = std::make_unique<TfrPage>();
  page->pgSize = info.pgSize;
  page->pgWidth = info.pgWidth;
  page->pgHeight = info.pgHeight;
  page->pgOr = info.pgOr;
  page->UseMargins = info.pgMargins != 0;
  page->PrnInfo = info.PrnInfo;
  frReadPageObjects(info.Stream.get(), page.get());
  info.Page = std::move(page);
}

void TfrEMFPages::StoreObjects(int index) {
  TfrPageInfo &info = (*this)[index];
  if (!info.Page) return;
  auto stream = std::make_unique<TfrPageStream>();
  WritePageObjects(info.Page.get(), stream.get());
  info.Stream = std::move(stream);
}

// ---- drawing ----

void TfrEMFPages::Draw(int index, TCanvas *canvas, const TRect &target) {
  TfrPageInfo &info = (*this)[index];
  if (!info.Visible) {
    info.Page.reset();
    return;
  }
  TfrDocModeScope printing(dmPrinting);
  TPrinter *printer = ReportPrinter()->PlatformPrinter();
  const bool onPrinter = printer && printer->Printing() && canvas == printer->Canvas();
  if (!info.Page) LoadObjects(index);
  if (info.PrnInfo.Pgw <= 0 || info.PrnInfo.Pgh <= 0) return;
  const double kx = double(target.Width()) / info.PrnInfo.Pgw;
  const double ky = double(target.Height()) / info.PrnInfo.Pgh;
  const TRect visible = onPrinter ? TRect{} : canvas->ClipRect();
  for (int i = 0; i < info.Page->ObjectCount(); ++i) {
    TfrView *view = info.Page->Object(i);
    if (!onPrinter) {
      // Objects wholly outside the area being painted are skipped.
      TRect r = Rect(frCoord(view->Left * kx + target.Left), frCoord(view->Top * ky + target.Top),
                     frCoord((double(view->Left) + view->Width) * kx + target.Left),
                     frCoord((double(view->Top) + view->Height) * ky + target.Top));
      InflateRect(r, 10, 10);
      TRect overlap;
      if (!IntersectRect(overlap, r, visible)) continue;
    }
    view->ScaleX = kx;
    view->ScaleY = ky;
    view->OffsX = target.Left;
    view->OffsY = target.Top;
    view->IsPrinting = onPrinter;
    view->Draw(canvas);
  }
}

// ---- the file ----

void TfrEMFPages::SaveToStream(TStream *stream) {
  // Written aside first (from the target's position, so that the end offsets are the target's), so that a
  // refused list leaves the stream untouched.
  const qint64 start = stream->Position();
  TMemoryStream aside;
  aside.SetSize(start);
  aside.SetPosition(start);
  TfrCompressor *compressor = frCompressor();
  aside.WriteUInt8(compressor->Enabled ? 1 : 0);
  WriteStreamString(&aside, ReportPrinter()->PrinterName());
  aside.WriteInt32(Count());
  for (int i = 0; i < Count(); ++i) {
    TfrPageInfo *page = pages_[size_t(i)].get();
    // The page's objects with their texts in the file's form.
    TMemoryStream stored;
    try {
      TfrPage objects;
      frReadPageObjects(page->Stream.get(), &objects);
      WritePageObjects(&objects, &stored);
    } catch (const EWriteError &e) {
      throw EWriteError(
          QStringLiteral("Page %1 of the report cannot be saved: %2").arg(i + 1).arg(e.Message()));
    }
    stored.SetPosition(0);
    const qint64 blockStart = aside.Position();
    aside.WriteInt32(0);
    aside.WriteUInt16(page->pgSize);
    aside.WriteInt32(page->pgWidth);
    aside.WriteInt32(page->pgHeight);
    aside.WriteUInt8(page->pgOr);
    aside.WriteUInt8(page->pgMargins);
    if (compressor->Enabled)
      compressor->Compress(&stored, &aside);
    else
      aside.CopyFrom(&stored, 0);
    const qint64 end = aside.Position();
    if (end > 2147483647)
      throw EWriteError(QStringLiteral("The prepared report is too large for its file form"));
    aside.SetPosition(blockStart);
    aside.WriteInt32(qint32(end));
    aside.SetPosition(end);
  }
  aside.SetPosition(start);
  stream->CopyFrom(&aside, aside.Size() - start);
}

void TfrEMFPages::ReadPages(TStream *stream, int compression, QString &printerName) {
  if (compression != 0 && !frCompressor()->Enabled)
    throw EfrStreamError(QStringLiteral("The prepared report is compressed, which this program cannot read"));
  printerName = ReadStreamString(stream);
  const qint32 count = stream->ReadInt32();
  CheckCount(stream, count);
  qint64 previousEnd = stream->Position();
  for (qint32 i = 0; i < count; ++i) {
    const qint64 blockStart = stream->Position();
    const qint64 end = stream->ReadInt32();
    std::unique_ptr<TfrPageInfo> page = ReadPageSetup(stream);
    const qint64 dataStart = stream->Position();
    if (end <= previousEnd || end < dataStart || end > stream->Size())
      throw EfrStreamError(QStringLiteral("Page %1 of the prepared report (at byte %2) ends at byte %3, "
                                          "outside its place in the file")
                               .arg(i + 1)
                               .arg(blockStart)
                               .arg(end));
    previousEnd = end;
    TMemoryStream data(stream->ReadBytes(end - dataStart));
    TMemoryStream stored;
    if (compression != 0)
      frCompressor()->Decompress(&data, &stored);
    else
      stored.CopyFrom(&data, 0);
    // Every page must read back, or the file is refused now rather than when the page is shown; its
    // objects are then kept with their texts as text.
    TfrPage objects;
    try {
      frReadPageObjects(&stored, &objects);
    } catch (const EfrStreamError &e) {
      throw EfrStreamError(
          QStringLiteral("Page %1 of the prepared report is damaged: %2").arg(i + 1).arg(e.Message()));
    }
    page->Stream = std::make_unique<TfrPageStream>();
    WritePageObjects(&objects, page->Stream.get());
    pages_.push_back(std::move(page));
    stream->SetPosition(end);
  }
}

void TfrEMFPages::ReadMetafilePages(TStream *stream, QString &printerName) {
  TfrStreamVersionScope scope(21);
  TStringList header;
  ReadStreamLinesOld(stream, &header);
  if (header.Count() > 0) printerName = header.Strings(0);
  const qint32 count = stream->ReadInt32();
  CheckCount(stream, count);
  qint64 previousEnd = stream->Position();
  for (qint32 i = 0; i < count; ++i) {
    const qint64 end = stream->ReadInt32();
    std::unique_ptr<TfrPageInfo> page = ReadPageSetup(stream);
    const qint64 dataStart = stream->Position();
    if (end <= previousEnd || end < dataStart || end > stream->Size())
      throw EfrStreamError(
          QStringLiteral("Page %1 of the prepared report ends at byte %2, outside its place in the file")
              .arg(i + 1)
              .arg(end));
    previousEnd = end;
    const QByteArray bytes = stream->ReadBytes(end - dataStart);
    TMetafile check;
    try {
      check.LoadFromBytes(bytes);
    } catch (const EInvalidGraphic &e) {
      throw EfrStreamError(
          QStringLiteral("Page %1 of the prepared report is damaged: %2").arg(i + 1).arg(e.Message()));
    }
    page->Stream = std::make_unique<TfrPageStream>();
    metafiles_.emplace_back(page.get(), bytes);
    pages_.push_back(std::move(page));
    stream->SetPosition(end);
  }
}

void TfrEMFPages::LoadFromStream(TStream *stream, bool printToDefault) {
  TfrEMFPages fresh;
  QString printerName;
  const qint64 start = stream->Position();
  try {
    if (start >= stream->Size()) throw EfrStreamError(QStringLiteral("The prepared report is empty"));
    const int first = stream->ReadUInt8();
    if (first >= 2 && first <= 254) {
      stream->SetPosition(start);
      fresh.ReadMetafilePages(stream, printerName);
    } else {
      fresh.ReadPages(stream, first, printerName);
    }
  } catch (const EfrStreamError &) {
    throw;
  } catch (const EReadError &) {
    throw EfrStreamError(
        QStringLiteral("The prepared report is damaged: it ends inside a record (at byte %1)")
            .arg(stream->Position() - start));
  }
  Swap(fresh);
  metafiles_.swap(fresh.metafiles_);
  TfrPrinter *printer = ReportPrinter();
  if (!printToDefault) printer->SelectPrinterByName(printerName);
  for (const auto &page : pages_) {
    printer->ApplyPaper(page->pgSize, page->pgWidth, page->pgHeight, page->pgOr);
    printer->GetPageMetrics(page->PrnInfo);
  }
  // A page of the older layout becomes one picture covering the page.
  for (auto &[page, bytes] : metafiles_) {
    TfrPictureView picture;
    picture.Left = 0;
    picture.Top = 0;
    picture.Width = page->PrnInfo.Pgw;
    picture.Height = page->PrnInfo.Pgh;
    picture.Flags = flStretched;
    TMetafile metafile;
    metafile.LoadFromBytes(bytes);
    picture.Picture.SetGraphic(&metafile);
    picture.PreparedForm = true;
    page->Stream->Clear();
    page->Stream->WriteUInt8(frCurrentVersion);
    frWriteViewEntry(page->Stream.get(), &picture);
  }
  metafiles_.clear();
}

void TfrEMFPages::SaveToFile(const QString &fileName) {
  TMemoryStream bytes;
  SaveToStream(&bytes);
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes.Bytes()) != bytes.Size() || !file.commit())
    throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
}

void TfrEMFPages::LoadFromFile(const QString &fileName, bool printToDefault) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&file, printToDefault);
}
