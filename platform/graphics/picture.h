// TPicture: holds one graphic of any kind. Loading from bytes or a file recognises the kind by the content
// (not by a file name's extension), and the graphic keeps the original bytes, which SaveToBytes returns
// unchanged until the picture is altered.
#pragma once
#include "platform/graphics/bitmap.h"
#include "platform/graphics/jpeg_image.h"
#include "platform/graphics/metafile.h"
#include <memory>

// The picture kinds of stored pictures.
enum class TGraphicKind { None, Bitmap, Metafile, Icon, Jpeg };

// The kind of picture the bytes hold, from their first bytes; None for anything else.
TGraphicKind SniffGraphicKind(const QByteArray &bytes);
// An empty graphic of the kind (nullptr for None).
std::unique_ptr<TGraphic> CreateGraphic(TGraphicKind kind);
TGraphicKind KindOf(const TGraphic *graphic);

class TPicture : public TPersistent {
public:
  TPicture() = default;
  ~TPicture() override;
  QString ClassName() const override { return QStringLiteral("TPicture"); }

  // From a picture or a graphic: a copy of its graphic; from nothing: empty.
  void Assign(const TPersistent *source) override;

  // The graphic, or nullptr when the picture is empty.
  TGraphic *Graphic() const { return graphic_.get(); }
  // Holds a copy of the graphic (nullptr empties the picture).
  void SetGraphic(const TGraphic *graphic);
  // The graphic as a bitmap; a picture holding another kind (or nothing) is replaced by an empty bitmap, as
  // the class library does.
  TBitmap *Bitmap();
  TIcon *Icon();
  TMetafile *Metafile();

  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }
  bool Empty() const { return !graphic_ || graphic_->Empty(); }

  // Loads whatever picture the bytes hold; empty bytes empty the picture. Raises EInvalidGraphic for an
  // unknown or damaged picture, leaving the picture as it was.
  void LoadFromBytes(const QByteArray &bytes);
  // The graphic in its own file format: the original bytes while the picture is unchanged.
  QByteArray SaveToBytes() const;
  // The bytes the picture was loaded from (empty once changed).
  QByteArray OriginalBytes() const { return graphic_ ? graphic_->OriginalBytes() : QByteArray(); }
  // Loads the picture at the stream's position (as LoadFromBytes, taking only the picture's own bytes).
  void LoadFromStream(TStream *stream);
  void SaveToStream(TStream *stream) const;
  void LoadFromFile(const QString &fileName);
  void SaveToFile(const QString &fileName) const;

  TNotifyEvent OnChange;

private:
  void Take(std::unique_ptr<TGraphic> graphic);
  void GraphicChanged(TObject *);

  std::unique_ptr<TGraphic> graphic_;
};
