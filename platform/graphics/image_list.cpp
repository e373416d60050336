#include "platform/graphics/image_list.h"
#include "platform/graphics/canvas.h"
#include <QPainter>

TCustomImageList::TCustomImageList(TComponent *AOwner) : TComponent(AOwner) {}

void TCustomImageList::Changed() {
  if (OnChange) OnChange(this);
}

void TCustomImageList::SetWidth(int Value) {
  if (Value <= 0 || Value == width_) return;
  width_ = Value;
  images_.clear();
  Changed();
}

void TCustomImageList::SetHeight(int Value) {
  if (Value <= 0 || Value == height_) return;
  height_ = Value;
  images_.clear();
  Changed();
}

void TCustomImageList::SetBkColor(TColor Value) {
  bkColor_ = Value;
  Changed();
}

// Cuts source (with its opacity in alpha's alpha channel) into images of the list's size.
QList<QImage> TCustomImageList::Split(const QImage &source, const QImage &alpha) const {
  QList<QImage> result;
  const int count = std::max(1, source.width() / width_);
  for (int i = 0; i < count; ++i) {
    QImage image(width_, height_, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < height_ && y < source.height(); ++y) {
      for (int x = 0; x < width_ && i * width_ + x < source.width(); ++x) {
        const int sx = i * width_ + x;
        const QRgb p = source.pixel(sx, y);
        image.setPixel(x, y, qRgba(qRed(p), qGreen(p), qBlue(p), qAlpha(alpha.pixel(sx, y))));
      }
    }
    result.append(image);
  }
  return result;
}

int TCustomImageList::AddMasked(const TBitmap *Image, TColor MaskColor) {
  if (!Image || Image->Empty()) return -1;
  const QImage source = Image->Image().convertToFormat(QImage::Format_ARGB32);
  const QRgb key = MaskColor == clDefault ? source.pixel(0, source.height() - 1) & 0xFFFFFF
                                          : ColorToQColor(MaskColor).rgb() & 0xFFFFFF;
  QImage alpha = source;
  for (int y = 0; y < alpha.height(); ++y)
    for (int x = 0; x < alpha.width(); ++x)
      alpha.setPixel(x, y, (source.pixel(x, y) & 0xFFFFFF) == key ? 0u : 0xFF000000u);
  const int first = int(images_.size());
  images_.append(Split(source, alpha));
  Changed();
  return first;
}

QImage TCustomImageList::Image(int Index) const {
  if (Index < 0 || Index >= images_.size()) return QImage();
  return images_[Index];
}

void TCustomImageList::Draw(TCanvas *Canvas, int X, int Y, int Index, bool Enabled) const {
  if (!Canvas || Index < 0 || Index >= images_.size()) return;
  QImage image = images_[Index];
  if (bkColor_ != clNone) {
    QImage filled(image.size(), QImage::Format_ARGB32);
    filled.fill(ColorToQColor(bkColor_));
    QPainter p(&filled);
    p.drawImage(0, 0, image);
    p.end();
    image = filled;
  }
  if (!Enabled) {
    // Greyed and lightened, keeping the shape.
    for (int y = 0; y < image.height(); ++y) {
      auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x) {
        const int gray = std::min(255, qGray(line[x]) / 2 + 128);
        line[x] = qRgba(gray, gray, gray, qAlpha(line[x]));
      }
    }
  }
  Canvas->DrawImage(Bounds(X, Y, image.width(), image.height()), image, image.rect());
}

void TCustomImageList::GetBitmap(int Index, TBitmap *Image) const {
  if (!Image || Index < 0 || Index >= images_.size()) return;
  Image->SetSize(width_, height_);
  Draw(Image->Canvas(), 0, 0, Index);
}
