// The input of the picture fuzz target (picture_fuzzer.cpp), shared with the test that runs its corpus in the
// normal build: arbitrary bytes read as a picture file of any kind (BMP, JPEG, icon, metafile) through
// TPicture. Refusing the bytes with EInvalidGraphic is a normal outcome; a crash, a hang, a sanitizer report,
// an allocation beyond the picture limit or a broken rule below is a fault.
#pragma once
#include "platform/graphics/jpeg_image.h"
#include "platform/graphics/picture.h"
#include "tests/fuzz/fuzz_require.h"
#include <cstddef>
#include <cstdint>

namespace fuzz {

// Draws the graphic as a form would show it and turns it into pixels as a report picture does.
inline void UseGraphic(const TGraphic *graphic) {
  QImage target(40, 30, QImage::Format_RGB32);
  {
    TCanvas canvas(&target);
    graphic->Draw(&canvas, Rect(0, 0, 40, 30));
  }
  TBitmap pixels;
  try {
    pixels.Assign(graphic);
  } catch (const EInvalidGraphic &) {
    Require(qint64(graphic->Width()) * graphic->Height() > MaxPicturePixels,
            "only a large picture is refused");
    return;
  }
  // A graphic without area (a metafile of zero width) gives an empty bitmap.
  const bool empty = graphic->Width() <= 0 || graphic->Height() <= 0;
  Require(empty ? pixels.Empty() : pixels.Width() == graphic->Width() && pixels.Height() == graphic->Height(),
          "a graphic turned into pixels keeps its size");
}

inline int RunPictureInput(const uint8_t *data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
  TPicture picture;
  try {
    picture.LoadFromBytes(bytes);
  } catch (const EInvalidGraphic &) {
    return 0;
  }
  if (picture.Empty()) return 0;
  Require(picture.SaveToBytes() == bytes, "a loaded picture saves the bytes it was loaded from");
  Require(qint64(picture.Width()) * picture.Graphic()->Height() <= MaxPicturePixels ||
              dynamic_cast<const TMetafile *>(picture.Graphic()),
          "a picture read into pixels is within the limit");
  UseGraphic(picture.Graphic());

  // Read from a stream that holds more after it, as a stored form holds a picture among other properties.
  TMemoryStream stream(bytes + QByteArray("trailing bytes"));
  TPicture streamed;
  try {
    streamed.LoadFromStream(&stream);
  } catch (const Exception &) { // refused, as from bytes
  }

  // A changed picture is written anew, and what is written loads again.
  if (auto *bitmap = dynamic_cast<TBitmap *>(picture.Graphic())) {
    bitmap->Canvas()->FillRect(Rect(0, 0, 1, 1));
    TBitmap again;
    again.LoadFromBytes(bitmap->SaveToBytes());
    Require(again.Width() == bitmap->Width() && again.Height() == bitmap->Height(),
            "a written bitmap loads at its size");
  } else if (auto *jpeg = dynamic_cast<TJPEGImage *>(picture.Graphic())) {
    jpeg->SetImage(jpeg->Image());
    TJPEGImage again;
    again.LoadFromBytes(jpeg->SaveToBytes());
    Require(again.Width() == jpeg->Width() && again.Height() == jpeg->Height(),
            "a written JPEG image loads at its size");
  }
  return 0;
}

} // namespace fuzz
