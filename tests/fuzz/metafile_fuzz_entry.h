// The input of the metafile fuzz target (metafile_fuzzer.cpp), shared with the test that runs its corpus in
// the normal build: arbitrary bytes played as an enhanced metafile (when they start with its header record's
// type) or else as a Windows metafile, onto an image and onto a recording device without raster operations,
// and read as a picture. Drawing nothing is a normal outcome; a crash, a hang, a sanitizer report, drawing
// outside the picture's rectangle or a broken rule below is a fault.
#pragma once
#include "platform/graphics/emf_player.h"
#include "platform/graphics/picture.h"
#include "platform/graphics/wmf_player.h"
#include "tests/fuzz/fuzz_require.h"
#include <QPicture>
#include <QtEndian>
#include <cstddef>
#include <cstdint>

namespace fuzz {

inline void PlayMetafileBytes(QPainter &painter, const QByteArray &bytes, const QRectF &target) {
  if (bytes.size() >= 4 && qFromLittleEndian<quint32>(bytes.constData()) == 1)
    PlayEnhancedMetafile(painter, bytes, target);
  else
    PlayWindowsMetafile(painter, bytes, target);
}

inline int RunMetafileInput(const uint8_t *data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
  // Onto an image, inside a rectangle that leaves a margin around it.
  QImage image(64, 48, QImage::Format_RGB32);
  image.fill(Qt::white);
  const QRect target(8, 6, 48, 36);
  {
    QPainter painter(&image);
    PlayMetafileBytes(painter, bytes, target);
  }
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (!target.contains(x, y))
        Require((image.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF, "a metafile draws only inside its rectangle");

  // Onto a device that records what is drawn (no raster operations), moved and clipped by its painter.
  QPicture recording;
  {
    QPainter painter(&recording);
    painter.translate(3, 2);
    painter.setClipRect(QRect(0, 0, 40, 30));
    PlayMetafileBytes(painter, bytes, QRectF(-5, -5, 300, 200));
  }

  // As a picture: read (or refused) and drawn through a canvas.
  TMetafile metafile;
  try {
    metafile.LoadFromBytes(bytes);
  } catch (const EInvalidGraphic &) {
    return 0;
  }
  Require(metafile.SaveToBytes() == bytes, "a metafile keeps the bytes it was read from");
  Require(qint64(metafile.Width()) * metafile.Height() <= MaxPicturePixels,
          "a metafile's size is within the limit");
  QImage small(16, 12, QImage::Format_RGB32);
  TCanvas canvas(&small);
  canvas.StretchDraw(Rect(0, 0, 16, 12), &metafile);
  return 0;
}

} // namespace fuzz
