#include "platform/graphics/resources.h"
#include <QFile>
#include <QHash>

namespace {

QHash<QString, std::function<QImage()>> &BitmapMakers() {
  static QHash<QString, std::function<QImage()>> makers;
  return makers;
}

QHash<QString, QImage> &BitmapCache() {
  static QHash<QString, QImage> cache;
  return cache;
}

QHash<QString, std::function<QCursor()>> &CursorMakers() {
  static QHash<QString, std::function<QCursor()>> makers{
      {QStringLiteral("VRCURSORHANDPOINT"), [] { return QCursor(Qt::PointingHandCursor); }},
  };
  return makers;
}

QString Key(const QString &name) { return name.toUpper(); }

QImage FromQtResources(const QString &name) {
  for (const QString &candidate : {name, name.toUpper(), name.toLower()})
    for (const char *ext : {".png", ".bmp"}) {
      const QString path = QStringLiteral(":/bitmaps/") + candidate + QLatin1String(ext);
      if (QFile::exists(path)) return QImage(path);
    }
  return QImage();
}

[[noreturn]] void NotFound(const QString &name) {
  throw EResNotFound(QStringLiteral("Resource %1 not found").arg(name));
}

} // namespace

void RegisterBitmapResource(const QString &Name, std::function<QImage()> Draw) {
  BitmapMakers().insert(Key(Name), std::move(Draw));
  BitmapCache().remove(Key(Name));
}

void RegisterCursorResource(const QString &Name, std::function<QCursor()> Make) {
  CursorMakers().insert(Key(Name), std::move(Make));
}

QImage LoadBitmapImage(const QString &Name) {
  const QString key = Key(Name);
  if (auto it = BitmapCache().find(key); it != BitmapCache().end()) return it.value();
  QImage image;
  if (auto it = BitmapMakers().find(key); it != BitmapMakers().end())
    image = it.value()();
  else
    image = FromQtResources(Name);
  if (image.isNull()) NotFound(Name);
  BitmapCache().insert(key, image);
  return image;
}

void LoadBitmapResource(TBitmap *Bitmap, const QString &Name) { Bitmap->SetImage(LoadBitmapImage(Name)); }

std::unique_ptr<TBitmap> LoadBitmap(const QString &Name) {
  auto bitmap = std::make_unique<TBitmap>();
  LoadBitmapResource(bitmap.get(), Name);
  return bitmap;
}

QCursor LoadCursor(const QString &Name) {
  if (auto it = CursorMakers().find(Key(Name)); it != CursorMakers().end()) return it.value()();
  for (const QString &candidate : {Name, Name.toUpper(), Name.toLower()}) {
    const QString path = QStringLiteral(":/cursors/") + candidate + QStringLiteral(".png");
    if (QFile::exists(path)) return QCursor(QPixmap(path));
  }
  NotFound(Name);
}
