#include "report/page.h"
#include "platform/core/streams.h"
#include "report/model_state.h"
#include "report/view_stream.h"

TfrPage::TfrPage() {
  const TfrPaperInfo &a4 = frPaperInfo(frPaperIndex(frDefaultPaperSize));
  pgWidth = a4.X;
  pgHeight = a4.Y;
}

TfrPage::~TfrPage() = default;

void TfrPage::ChangePaper(int size, int width, int height, int orientation) {
  const int index = frPaperIndex(size);
  if ((width <= 0 || height <= 0) && index >= 0 && size != frCustomPaperSize) {
    width = frPaperInfo(index).X;
    height = frPaperInfo(index).Y;
    if (orientation == frLandscape) std::swap(width, height);
  }
  pgSize = size;
  pgWidth = width;
  pgHeight = height;
  pgOr = quint8(orientation);
  TfrPrinter *printer = ReportPrinter();
  printer->ApplyPaper(size, width, height, orientation);
  printer->GetPageMetrics(PrnInfo);
}

TfrView *TfrPage::Add(std::unique_ptr<TfrView> view) {
  objects_.push_back(std::move(view));
  return objects_.back().get();
}

void TfrPage::Delete(int index) {
  if (index < 0 || index >= ObjectCount()) throw EListError(QStringLiteral("Object index out of range"));
  objects_.erase(objects_.begin() + index);
}

int TfrPage::IndexOf(const TfrView *view) const {
  for (int i = 0; i < ObjectCount(); ++i)
    if (objects_[size_t(i)].get() == view) return i;
  return -1;
}

TfrView *TfrPage::FindView(const QString &name) const {
  for (const auto &view : objects_)
    if (view->Name.compare(name, Qt::CaseInsensitive) == 0) return view.get();
  return nullptr;
}

void TfrPage::LoadFromStream(TStream *stream) {
  pgSize = stream->ReadInt32();
  pgWidth = stream->ReadInt32();
  pgHeight = stream->ReadInt32();
  pgMargins.Left = stream->ReadInt32();
  pgMargins.Top = stream->ReadInt32();
  pgMargins.Right = stream->ReadInt32();
  pgMargins.Bottom = stream->ReadInt32();
  pgOr = stream->ReadUInt8();
  if (frModel().StreamVersion < frCurrentVersion) stream->ReadBytes(6);
  PrintToPrevPage = stream->ReadUInt16() != 0;
  UseMargins = stream->ReadUInt16() != 0;
  ColCount = stream->ReadInt32();
  ColGap = stream->ReadInt32();
  if (ColCount < 1)
    throw EfrStreamError(QStringLiteral("A page of the template has %1 columns").arg(ColCount));
}

void TfrPage::SaveToStream(TStream *stream) const {
  stream->WriteInt32(pgSize);
  stream->WriteInt32(pgWidth);
  stream->WriteInt32(pgHeight);
  stream->WriteInt32(pgMargins.Left);
  stream->WriteInt32(pgMargins.Top);
  stream->WriteInt32(pgMargins.Right);
  stream->WriteInt32(pgMargins.Bottom);
  stream->WriteUInt8(pgOr);
  stream->WriteUInt16(PrintToPrevPage ? 0xFFFF : 0);
  stream->WriteUInt16(UseMargins ? 0xFFFF : 0);
  stream->WriteInt32(ColCount);
  stream->WriteInt32(ColGap);
}

TfrPage *TfrPages::Add() {
  auto page = std::make_unique<TfrPage>();
  page->ChangePaper(frDefaultPaperSize, 0, 0, frPortrait);
  return Append(std::move(page));
}

TfrPage *TfrPages::Append(std::unique_ptr<TfrPage> page) {
  pages_.push_back(std::move(page));
  return pages_.back().get();
}

void TfrPages::Delete(int index) {
  if (index < 0 || index >= Count()) throw EListError(QStringLiteral("Page index out of range"));
  pages_.erase(pages_.begin() + index);
}
