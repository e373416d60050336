#include "platform/graphics/picture.h"
#include <QFile>

TGraphicKind SniffGraphicKind(const QByteArray &bytes) {
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return TGraphicKind::Bitmap;
  if (bytes.size() >= 3 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xD8 && uchar(bytes[2]) == 0xFF)
    return TGraphicKind::Jpeg;
  if (bytes.size() >= 6 && bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 1 && bytes[3] == 0)
    return TGraphicKind::Icon;
  if (IsMetafileData(bytes)) return TGraphicKind::Metafile;
  return TGraphicKind::None;
}

std::unique_ptr<TGraphic> CreateGraphic(TGraphicKind kind) {
  switch (kind) {
  case TGraphicKind::Bitmap: return std::make_unique<TBitmap>();
  case TGraphicKind::Metafile: return std::make_unique<TMetafile>();
  case TGraphicKind::Icon: return std::make_unique<TIcon>();
  case TGraphicKind::Jpeg: return std::make_unique<TJPEGImage>();
  case TGraphicKind::None: break;
  }
  return nullptr;
}

TGraphicKind KindOf(const TGraphic *graphic) {
  if (dynamic_cast<const TBitmap *>(graphic)) return TGraphicKind::Bitmap;
  if (dynamic_cast<const TMetafile *>(graphic)) return TGraphicKind::Metafile;
  if (dynamic_cast<const TIcon *>(graphic)) return TGraphicKind::Icon;
  if (dynamic_cast<const TJPEGImage *>(graphic)) return TGraphicKind::Jpeg;
  return TGraphicKind::None;
}

TPicture::~TPicture() = default;

void TPicture::Take(std::unique_ptr<TGraphic> graphic) {
  graphic_ = std::move(graphic);
  if (graphic_) graphic_->OnChange = TNotifyEvent(this, &TPicture::GraphicChanged);
  if (OnChange) OnChange(this);
}

void TPicture::GraphicChanged(TObject *) {
  if (OnChange) OnChange(this);
}

void TPicture::SetGraphic(const TGraphic *graphic) {
  if (graphic == graphic_.get()) return;
  if (!graphic) {
    Take(nullptr);
    return;
  }
  auto copy = CreateGraphic(KindOf(graphic));
  if (!copy) throw EInvalidGraphic(QStringLiteral("Unsupported picture kind %1").arg(graphic->ClassName()));
  copy->Assign(graphic);
  copy->SetTransparent(graphic->Transparent());
  Take(std::move(copy));
}

void TPicture::Assign(const TPersistent *source) {
  if (!source) {
    SetGraphic(nullptr);
    return;
  }
  if (auto picture = dynamic_cast<const TPicture *>(source)) {
    if (picture != this) SetGraphic(picture->Graphic());
    return;
  }
  if (auto graphic = dynamic_cast<const TGraphic *>(source)) {
    SetGraphic(graphic);
    return;
  }
  TPersistent::Assign(source);
}

TBitmap *TPicture::Bitmap() {
  if (auto bitmap = dynamic_cast<TBitmap *>(graphic_.get())) return bitmap;
  Take(std::make_unique<TBitmap>());
  return static_cast<TBitmap *>(graphic_.get());
}

TIcon *TPicture::Icon() {
  if (auto icon = dynamic_cast<TIcon *>(graphic_.get())) return icon;
  Take(std::make_unique<TIcon>());
  return static_cast<TIcon *>(graphic_.get());
}

TMetafile *TPicture::Metafile() {
  if (auto metafile = dynamic_cast<TMetafile *>(graphic_.get())) return metafile;
  Take(std::make_unique<TMetafile>());
  return static_cast<TMetafile *>(graphic_.get());
}

void TPicture::LoadFromBytes(const QByteArray &bytes) {
  if (bytes.isEmpty()) {
    SetGraphic(nullptr);
    return;
  }
  auto graphic = CreateGraphic(SniffGraphicKind(bytes));
  if (!graphic) throw EInvalidGraphic(QStringLiteral("Unknown picture format"));
  graphic->LoadFromBytes(bytes);
  Take(std::move(graphic));
}

void TPicture::LoadFromStream(TStream *stream) {
  if (!stream) return;
  const qint64 start = stream->Position();
  const QByteArray head =
      stream->ReadBytes(std::min<qint64>(64, std::max<qint64>(0, stream->Size() - start)));
  stream->SetPosition(start);
  if (head.isEmpty()) {
    SetGraphic(nullptr);
    return;
  }
  auto graphic = CreateGraphic(SniffGraphicKind(head));
  if (!graphic) throw EInvalidGraphic(QStringLiteral("Unknown picture format"));
  graphic->LoadFromStream(stream);
  Take(std::move(graphic));
}

void TPicture::SaveToStream(TStream *stream) const {
  if (graphic_) graphic_->SaveToStream(stream);
}

QByteArray TPicture::SaveToBytes() const { return graphic_ ? graphic_->SaveToBytes() : QByteArray(); }

void TPicture::LoadFromFile(const QString &fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly))
    throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError)
    throw EReadError(QStringLiteral("Cannot read file \"%1\". %2").arg(fileName, file.errorString()));
  if (bytes.isEmpty()) throw EInvalidGraphic(QStringLiteral("The file \"%1\" is empty").arg(fileName));
  LoadFromBytes(bytes);
}

void TPicture::SaveToFile(const QString &fileName) const {
  if (!graphic_) throw EInvalidGraphicOperation(QStringLiteral("The picture is empty"));
  graphic_->SaveToFile(fileName);
}
