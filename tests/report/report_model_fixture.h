// Shared set-up of the report model tests: the virtual printer with A4 paper, US English formats, the shape
// object registered and design mode; objects placed on a page, memory tables, a byte builder for expected
// streams, small pictures of each kind, scripted printers, the message of a refusal, and the PDF tools.
#pragma once
#include "platform/core/format_settings.h"
#include "platform/core/streams.h"
#include "platform/core/text_encoding.h"
#include "platform/data/memory_dataset.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/jpeg_image.h"
#include "platform/graphics/printer.h"
#include "report/model_state.h"
#include "report/page.h"
#include "report/printer_wrapper.h"
#include "report/shape_view.h"
#include "tests/support/metafile_writer.h"
#include <QBuffer>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>

namespace test {

class ReportModelTest : public ::testing::Test {
protected:
  void SetUp() override {
    BindReportPrinter(nullptr);
    ReportPrinter()->ForgetPaper();
    ReportPrinter()->ApplyPaper(frDefaultPaperSize, 0, 0, frPortrait);
    frRegisterShapeObject();
    frModel().DocMode = dmDesigning;
    frModel().FirstPass = false;
  }
  void TearDown() override {
    frModel().DocMode = dmDesigning;
    BindReportPrinter(nullptr);
  }

  FormatSettingsGuard formats_{FormatSettings::USEnglish()};
};

// Places a view at left,top of that size.
inline void Place(TfrView &view, int left, int top, int width, int height) {
  std::tie(view.Left, view.Top, view.Width, view.Height) = std::tuple(left, top, width, height);
}

// A new view of class T named name on the page, at left,top of that size.
template <class T>
T *AddView(TfrPage *page, const QString &name, int left = 0, int top = 0, int width = 0, int height = 0) {
  auto view = std::make_unique<T>();
  view->Name = name;
  Place(*view, left, top, width, height);
  return static_cast<T *>(page->Add(std::move(view)));
}

// A memory dataset with these fields ("name", type[, size]), open and empty, owned by owner.
struct FieldSpec {
  const char *name;
  TFieldType type;
  int size = 0;
};
inline TMemoryDataSet *MemoryTable(TComponent *owner, const QString &name,
                                   std::initializer_list<FieldSpec> fields) {
  auto *table = new TMemoryDataSet(owner);
  table->SetName(name);
  for (const FieldSpec &f : fields) table->FieldDefs()->Add(QString::fromUtf8(f.name), f.type, f.size);
  table->CreateDataSet();
  return table;
}
// Appends a record of these values, one a field in order; an empty or null value leaves its field empty.
inline void AppendRow(TDataSet *table, std::initializer_list<Variant> values) {
  table->Append();
  int i = 0;
  for (const Variant &value : values) {
    TField *field = table->Fields()->Fields(i++);
    if (!value.IsNull() && !value.IsEmpty()) field->SetAsVariant(value);
  }
  table->Post();
}

// The message of the E the call throws; "no error" when it throws none.
template <class E>
QString Refusal(const std::function<void()> &call) {
  try {
    call();
  } catch (const E &e) {
    return e.Message();
  }
  return QStringLiteral("no error");
}

// The standard output of a tool, empty when it cannot run or fails.
inline QString RunTool(const QString &program, const QStringList &arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(60000) || process.exitCode() != 0) return QString();
  return QString::fromUtf8(process.readAllStandardOutput());
}
inline bool HavePoppler() {
  for (const char *tool : {"pdftotext", "pdfinfo", "pdftoppm"})
    if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) return false;
  return true;
}
// The text of each page of a PDF file, simplified.
inline QStringList PdfPages(const QString &pdf) {
  QStringList pages =
      RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
          .split(QChar(12));
  if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
  for (QString &page : pages) page = page.simplified();
  return pages;
}

// The process-wide platform printer over scripted printers (printing into PDF files, "Office" the default),
// bound to the report engine; the system's printers come back afterwards.
class ScriptedPrinters {
public:
  explicit ScriptedPrinters(const QStringList &names = {"Office", "Labels"}) {
    auto system = std::make_unique<TScriptedPrinterSystem>(dir_.path());
    System = system.get();
    for (const QString &name : names) {
      TPrinterDescription printer;
      printer.name = name;
      printer.papers = {*StandardPaper(DMPAPER_A4)};
      system->AddPrinter(printer);
    }
    system->SetDefaultPrinter(QStringLiteral("Office"));
    ::Printer()->SetPrinterSystem(std::move(system));
    BindReportPrinter(::Printer());
  }
  ~ScriptedPrinters() {
    BindReportPrinter(nullptr);
    ::Printer()->SetPrinterSystem(CreateSystemPrinters());
  }
  TPrinter *Printer() { return ::Printer(); }
  TScriptedPrinterSystem *System;

private:
  QTemporaryDir dir_;
};

// Little-endian bytes, written as the formats lay them out.
class Bytes {
public:
  Bytes &u8(int v) {
    data_.append(char(quint8(v)));
    return *this;
  }
  Bytes &u16(int v) {
    char b[2];
    qToLittleEndian<quint16>(quint16(v), b);
    data_.append(b, 2);
    return *this;
  }
  Bytes &i32(qint64 v) {
    char b[4];
    qToLittleEndian<qint32>(qint32(v), b);
    data_.append(b, 4);
    return *this;
  }
  Bytes &i32s(std::initializer_list<qint64> values) {
    for (const qint64 v : values) i32(v);
    return *this;
  }
  Bytes &raw(const QByteArray &bytes) {
    data_.append(bytes);
    return *this;
  }
  // Version-23 string: u16 length, bytes, 0.
  Bytes &str(const QString &text) {
    const QByteArray bytes = ToWindows1252(text);
    return u16(int(bytes.size())).raw(bytes).u8(0);
  }
  // Version-23 list.
  Bytes &lines(const QStringList &list) {
    u16(int(list.size()));
    if (list.isEmpty()) return u8(0);
    for (qsizetype i = 0; i < list.size(); ++i) {
      const QByteArray bytes = ToWindows1252(list[i]);
      u16(int(bytes.size())).raw(bytes).u8(i + 1 < list.size() ? 13 : 0);
    }
    return *this;
  }
  // Older forms: a string closed by 0; lines each closed by 13, the list by 0.
  Bytes &oldStr(const QString &text) { return raw(ToWindows1252(text)).u8(0); }
  Bytes &oldLines(const QStringList &list) {
    for (const QString &line : list) raw(ToWindows1252(line)).u8(13);
    return u8(0);
  }
  // Short string: length byte and bytes.
  Bytes &shortStr(const QString &text) {
    const QByteArray bytes = ToWindows1252(text);
    return u8(int(bytes.size())).raw(bytes);
  }
  qsizetype size() const { return data_.size(); }
  const QByteArray &data() const { return data_; }
  // Overwrites an int32 at a position (end offsets known only later).
  void patch32(qsizetype at, qint64 v) { qToLittleEndian<qint32>(qint32(v), data_.data() + at); }

private:
  QByteArray data_;
};

inline QByteArray BitmapBytes() {
  TBitmap bitmap(4, 3);
  QImage image(4, 3, QImage::Format_RGB32);
  image.fill(qRgb(0, 128, 255));
  image.setPixel(0, 0, qRgb(255, 0, 0));
  bitmap.SetImage(image);
  return bitmap.SaveToBytes();
}

inline QByteArray JpegBytes() {
  QImage image(8, 8, QImage::Format_RGB32);
  image.fill(qRgb(20, 200, 40));
  return EncodeJpeg(image, 90);
}

// An enhanced metafile 100 x 50 units of a quarter millimetre (25 x 12.5 mm, 94 x 47 screen pixels) whose
// right half is a red rectangle.
inline QByteArray EnhancedMetafileBytes() {
  test::EmfWriter emf(100, 50, 4);
  emf.Brush(1, Qt::red).Select(1).Select(0x80000008).Rectangle(50, 0, 100, 50);
  return emf.Bytes();
}

// An icon file with one 2 x 2 PNG image.
inline QByteArray IconBytes() {
  QImage image(2, 2, QImage::Format_ARGB32);
  image.fill(qRgba(10, 20, 30, 255));
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  Bytes ico;
  ico.u16(0).u16(1).u16(1);
  ico.u8(2).u8(2).u8(0).u8(0).u16(1).u16(32).i32(png.size()).i32(22);
  ico.raw(png);
  return ico.data();
}

} // namespace test
