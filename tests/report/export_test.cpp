// Export: the filter interface's order of calls, the text export's exact output, and how an export
// replaces its target file.
#include "platform/core/streams.h"
#include "report/export_filter.h"
#include "report/text_export.h"
#include "tests/report/report_build_fixture.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace build {
namespace {

QByteArray ReadFile(const QString &name) {
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
  return file.readAll();
}

void WriteFile(const QString &name, const QByteArray &bytes) {
  QFile file(name);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

// The text export of calls made directly, as bytes.
class TextExportTest : public ::testing::Test {
protected:
  QByteArray Page(const std::function<void(TfrTextExportFilter &, TfrView *)> &texts) {
    TMemoryStream stream;
    TfrTextExportFilter filter(&stream);
    TfrMemoView view;
    filter.OnBeginPage();
    texts(filter, &view);
    filter.OnEndPage();
    stream.SetPosition(0);
    return stream.ReadBytes(stream.Size());
  }
};

// Texts are placed by line and column, their lines ended by CR LF and the page by a form feed. Overlapping
// texts follow one another without a blank; halves go to the even neighbour (8 / 16 is line 0, 24 / 16 and
// 40 / 16 line 2); every character is kept (columns count characters, the bytes are UTF-8); a text without
// an object is not placed.
TEST_F(TextExportTest, TextsArePlacedByLineAndColumnWithTheirLinesEndedByCrLfAndThePageByAFormFeed) {
  struct Text {
    int x, y;
    const char *text;
    bool placed = true;
  };
  struct Case {
    QList<Text> texts;
    const char *expected;
  };
  const Case cases[] = {{{}, "\x0c\r\n"},
                        {{{0, 8, "a"}, {0, 24, "b"}, {13, 40, "c"}}, "a\r\n\r\nb c\r\n\x0c\r\n"},
                        {{{0, 0, "Łódź €"}, {65, 0, "x"}}, "Łódź €    x\r\n\x0c\r\n"},
                        {{{0, 0, "lost", false}}, "\x0c\r\n"}};
  for (const Case &c : cases) {
    EXPECT_EQ(QString::fromUtf8(Page([&](TfrTextExportFilter &f, TfrView *v) {
                for (const Text &t : c.texts)
                  f.OnText(t.x, t.y, QString::fromUtf8(t.text), t.placed ? v : nullptr);
              })),
              QString::fromUtf8(c.expected));
  }
}

TEST_F(TextExportTest, TallPagesAndLongTextsAreWrittenWhole) {
  const QString longText(300, QLatin1Char('x'));
  const QByteArray bytes = Page([&](TfrTextExportFilter &f, TfrView *v) {
    f.OnText(0, 0, longText, v);
    f.OnText(0, 4000, QStringLiteral("bottom"), v);
  });
  const QList<QByteArray> lines = bytes.split('\n');
  ASSERT_EQ(lines.size(), 253); // 251 lines, the form feed line, and what follows the last line feed
  EXPECT_EQ(lines[0], QByteArray(300, 'x') + '\r');
  EXPECT_EQ(lines[250], QByteArray("bottom\r"));
  EXPECT_EQ(lines[251], QByteArray("\x0c\r"));
}

// Records the calls it receives.
class RecordingFilter : public TfrExportFilter {
public:
  RecordingFilter(TStream *stream, QStringList *calls) : TfrExportFilter(stream), calls_(calls) {}
  void OnBeginDoc() override { *calls_ << QStringLiteral("begin doc"); }
  void OnEndDoc() override { *calls_ << QStringLiteral("end doc"); }
  void OnBeginPage() override { *calls_ << QStringLiteral("begin page"); }
  void OnEndPage() override {
    *calls_ << QStringLiteral("end page");
    if (failAtEndPage) throw EWriteError(QStringLiteral("disk full"));
  }
  void OnView(int X, int Y, TfrView *View) override {
    *calls_ << QStringLiteral("view %1 %2,%3").arg(View->ClassName()).arg(X).arg(Y);
  }
  void OnText(int X, int Y, const QString &Text, TfrView *) override {
    *calls_ << QStringLiteral("text %1,%2 %3").arg(X).arg(Y).arg(Text);
    Stream->WriteBytes(Text.toUtf8());
  }
  bool failAtEndPage = false;

private:
  QStringList *calls_;
};

class ExportTest : public ReportBuildTest {
protected:
  void SetUp() override {
    ReportBuildTest::SetUp();
    ASSERT_TRUE(dir.isValid());
    target = dir.filePath(QStringLiteral("out.txt"));
  }
  TfrExportFilterClass Recording(bool fail = false) {
    return [this, fail](TStream *stream) {
      auto filter = std::make_unique<RecordingFilter>(stream, &calls);
      filter->failAtEndPage = fail;
      return filter;
    };
  }
  QStringList Leftovers() {
    QStringList names = QDir(dir.path()).entryList(QDir::Files);
    names.removeAll(QStringLiteral("out.txt"));
    return names;
  }

  QTemporaryDir dir;
  QString target;
  QStringList calls;
};

TEST_F(ExportTest, AFilterHearsOfTheDocumentEachPageEachObjectAndEachOutputLineInOrder) {
  // A report without pages gives only the document calls.
  ASSERT_TRUE(report->ExportTo(Recording(), target));
  EXPECT_EQ(calls, (QStringList{"begin doc", "end doc"}));
  calls.clear();
  AddBand(btReportTitle, 0, 100);
  AddMemo(0, 0, 200, 60, {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
  test::AddView<TfrLineView>(page, QString(), 0, 70, 200, 0);
  ASSERT_TRUE(report->PrepareReport());
  ASSERT_TRUE(report->ExportTo(Recording(), target));
  EXPECT_EQ(calls,
            (QStringList{"begin doc", "begin page", "view TfrMemoView 0,0", "text 2,1 one", "text 2,16 two",
                         "text 2,31 three", "view TfrLineView 0,70", "end page", "end doc"}));
  EXPECT_EQ(ReadFile(target), QByteArray("onetwothree"));
}

TEST_F(ExportTest, ATwoPageReportIsExportedAsText) {
  AddBand(btReportTitle, 0, 100);
  AddMemo(0, 0, 100, 20, {QStringLiteral("Invoice 12")});
  AddMemo(130, 0, 100, 20, {QStringLiteral("Total")});
  AddMemo(0, 32, 100, 40, {QStringLiteral("Line A"), QStringLiteral("Line B")});
  TfrPage *second = report->Pages().Add();
  AddBand(second, btReportTitle, 0, 100);
  AddMemo(second, 65, 16, 100, 20, {QStringLiteral("Page [PAGE#]")});
  ASSERT_TRUE(report->PrepareReport());
  frRegisterTextExport();
  TfrExportFilterClass text;
  for (int i = 0; i < frExportFilterCount(); ++i)
    if (frExportFilter(i).FilterExt == QLatin1String("*.txt")) text = frExportFilter(i).FilterClass;
  ASSERT_TRUE(text);
  ASSERT_TRUE(report->ExportTo(text, target));
  EXPECT_EQ(ReadFile(target), QByteArray("Invoice 12          Total\r\n"
                                         "\r\n"
                                         "Line A\r\n"
                                         "Line B\r\n"
                                         "\x0c\r\n"
                                         "\r\n"
                                         "          Page 2\r\n"
                                         "\x0c\r\n"));
}

TEST_F(ExportTest, AFailingFilterLeavesTheTargetAsItWasAndNoFilterBehind) {
  WriteFile(target, "earlier export");
  AddBand(btReportTitle, 0, 100);
  AddMemo(0, 0, 100, 20, {QStringLiteral("text")});
  ASSERT_TRUE(report->PrepareReport());
  EXPECT_THROW(report->ExportTo(Recording(true), target), EWriteError);
  EXPECT_EQ(ReadFile(target), QByteArray("earlier export"));
  EXPECT_EQ(report->CurrentFilter(), nullptr);
  EXPECT_EQ(Leftovers(), QStringList{});

  // So does a cancelled export.
  frSetProgressWindowFactory([]() -> std::unique_ptr<TfrProgressWindow> {
    return std::make_unique<CancellingProgress>(QStringLiteral("Processing page:  1 from"), nullptr);
  });
  EXPECT_FALSE(report->ExportTo(Recording(), target));
  EXPECT_EQ(ReadFile(target), QByteArray("earlier export"));
  EXPECT_EQ(Leftovers(), QStringList{});

  // A good export replaces it.
  frSetProgressWindowFactory(nullptr);
  ASSERT_TRUE(report->ExportTo(Recording(), target));
  EXPECT_EQ(ReadFile(target), QByteArray("text"));
}

TEST_F(ExportTest, AFileThatCannotBeCreatedIsReportedByItsNameAndNoFilterIsMade) {
  const QString nowhere = dir.filePath(QStringLiteral("no/such/folder/out.txt"));
  EXPECT_TRUE(
      test::Refusal<EFCreateError>([&] { report->ExportTo(Recording(), nowhere); }).contains(nowhere));
  EXPECT_TRUE(calls.isEmpty());
}

} // namespace
} // namespace build
