// TfrPictureView: a picture object (bitmap, metafile, icon or JPEG image). In streams its data is the kind
// byte (0 none, 1 bitmap, 2 metafile, 3 icon, 4 JPEG), the end offset (the position just after the picture,
// counted from the start of the stream) and the picture in its own file format. Metafiles keep their bytes
// and are played back when drawn.
#pragma once
#include "platform/graphics/picture.h"
#include "report/view.h"

// Flags of a picture object.
constexpr int flPictCenter = 2;
constexpr int flPictRatio = 4;

class TfrPictureView : public TfrView {
public:
  TfrPictureView();
  QString ClassName() const override { return QStringLiteral("TfrPictureView"); }

  void Assign(const TfrView *source) override;
  void Draw(TCanvas *canvas) override;
  // The picture held by a BLOB field (of any kind, recognised by its content); a null field empties it.
  // EInvalidGraphic when the field holds no picture.
  void LoadFromField(TField *field) override;
  void LoadFromStream(TStream *stream) override;
  void SaveToStream(TStream *stream) override;

  // Where the picture goes inside `area` (device pixels): stretched to it (keeping its proportions when
  // asked) or at its own size scaled with the page, centred or at the top left.
  TRect PictureRect(const TRect &area) const;

  TPicture Picture;
};
