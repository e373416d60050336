#include "report/picture_view.h"
#include "platform/core/streams.h"
#include "platform/data/fields.h"
#include "report/view_stream.h"
#include <QPainter>

TfrPictureView::TfrPictureView() {
  Typ = gtPicture;
  BaseName = QStringLiteral("Picture");
  Flags = flStretched | flPictRatio;
}

void TfrPictureView::Assign(const TfrView *source) {
  TfrView::Assign(source);
  if (auto picture = dynamic_cast<const TfrPictureView *>(source)) Picture.Assign(&picture->Picture);
}

TRect TfrPictureView::PictureRect(const TRect &area) const {
  const double areaW = area.Width(), areaH = area.Height();
  double w = Picture.Width() * ScaleX, h = Picture.Height() * ScaleY;
  if (Flags & flStretched) {
    w = areaW;
    h = areaH;
    if ((Flags & flPictRatio) && Picture.Width() > 0 && Picture.Height() > 0) {
      const double k = std::min(areaW / Picture.Width(), areaH / Picture.Height());
      w = Picture.Width() * k;
      h = Picture.Height() * k;
    }
  }
  double x = area.Left, y = area.Top;
  if (Flags & flPictCenter) {
    x += (areaW - w) / 2;
    y += (areaH - h) / 2;
  }
  return Rect(frCoord(x), frCoord(y), frCoord(x + w), frCoord(y + h));
}

void TfrPictureView::Draw(TCanvas *canvas) {
  Canvas = canvas;
  ApplyScale();
  DrawBackground();
  if (!Picture.Empty() && !DRect.IsEmpty()) {
    const TRect target = PictureRect(DRect);
    // A picture larger than its object shows only the part inside.
    QPainter *painter = canvas->Handle();
    painter->save();
    painter->setClipRect(DRect.ToQRect(), Qt::IntersectClip);
    Picture.Graphic()->Draw(canvas, target);
    painter->restore();
  }
  DrawFrame();
  RestoreBounds();
}

void TfrPictureView::LoadFromField(TField *field) {
  auto *blob = dynamic_cast<TBlobField *>(field);
  if (!blob || blob->IsNull()) {
    Picture.SetGraphic(nullptr);
    return;
  }
  Picture.LoadFromBytes(blob->AsBytes());
}

void TfrPictureView::LoadFromStream(TStream *stream) {
  TfrView::LoadFromStream(stream);
  const int kind = stream->ReadUInt8();
  const qint64 start = stream->Position() + 4;
  const qint64 end = stream->ReadInt32();
  if (end < start || end > stream->Size())
    throw EfrStreamError(QStringLiteral("The picture at byte %1 claims to end at byte %2, outside its data")
                             .arg(start)
                             .arg(end));
  Picture.SetGraphic(nullptr);
  // A kind this program does not know is skipped.
  if (kind >= int(TGraphicKind::Bitmap) && kind <= int(TGraphicKind::Jpeg) && end > start) {
    const QByteArray bytes = stream->ReadBytes(end - start);
    auto graphic = CreateGraphic(TGraphicKind(kind));
    try {
      graphic->LoadFromBytes(bytes);
    } catch (const EInvalidGraphic &e) {
      throw EfrStreamError(
          QStringLiteral("The picture at byte %1 is damaged: %2").arg(start).arg(e.Message()));
    }
    Picture.SetGraphic(graphic.get());
  }
  stream->SetPosition(end);
}

void TfrPictureView::SaveToStream(TStream *stream) {
  TfrView::SaveToStream(stream);
  const TGraphicKind kind = Picture.Empty() ? TGraphicKind::None : KindOf(Picture.Graphic());
  stream->WriteUInt8(quint8(kind));
  const qint64 offsetAt = stream->Position();
  stream->WriteInt32(0);
  if (kind != TGraphicKind::None) Picture.SaveToStream(stream);
  const qint64 end = stream->Position();
  if (end > 2147483647) throw EWriteError(QStringLiteral("The picture does not fit in a report stream"));
  stream->SetPosition(offsetAt);
  stream->WriteInt32(qint32(end));
  stream->SetPosition(end);
}
