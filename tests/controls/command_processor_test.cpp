#include "controls/framework/command_processor.h"
#include "controls/framework/control_helpers.h"
#include "controls/framework/library_exceptions.h"
#include "controls/framework/stock_key_tables.h"
#include "platform/core/filer.h"
#include "platform/core/streams.h"
#include "platform/windowing/messages.h"
#include "platform/windowing/shift_state.h"
#include "platform/windowing/virtual_keys.h"
#include "tests/platform/raises.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr std::uint8_t kCtrlShift = ss_Ctrl | ss_Shift;

TOvcKeyCommandRec Rec(std::uint8_t k1, std::uint8_t s1, std::uint8_t k2, std::uint8_t s2,
                      TOvcCommandCode cmd) {
  return TOvcKeyCommandRec{k1, s1, k2, s2, cmd};
}

void WriteAll(const QString &path, const QByteArray &bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

TEST(StockKeyTables, CountsNamesActivityRecordsAndPackedKeys) {
  TOvcCommandProcessor p;
  ASSERT_EQ(p.TableCount(), 3);
  EXPECT_EQ(p.GetTableByName("wordstar"), p.Tables(1));
  EXPECT_EQ(p.GetTableByName("nope"), nullptr);
  EXPECT_THROW(p.Tables(3), ETableNotFound);

  // Records at some places of each table.
  struct Spot {
    TStockKeyTable table;
    int index;
    TOvcKeyCommandRec rec;
  } spots[] = {
      {TStockKeyTable::Default, 0, Rec(VK_LEFT, 0, 0, 0, ccLeft)},
      {TStockKeyTable::Default, 63, Rec('9', kCtrlShift, 0, 0, ccSetMarker0 + 9)},
      {TStockKeyTable::WordStar, 10, Rec('Q', ss_Ctrl, 'S', ss_Wild, ccHome)},
  };
  for (const Spot &s : spots) {
    const TOvcCommandTable *table = p.GetTableByName(StockKeyTableName(s.table));
    EXPECT_EQ(table->GetCommandRec(s.index), s.rec)
        << StockKeyTableName(s.table).toStdString() << " " << s.index;
  }
  EXPECT_THROW(p.Tables(0)->GetCommandRec(64), EListError);

  // A packed key is little-endian.
  const TOvcKeyCommandRec r = Rec('Q', ss_Ctrl, 'S', ss_Wild, ccHome);
  EXPECT_EQ(std::uint32_t(r.PackedKey()), 0x80530451u);
  EXPECT_EQ(TOvcKeyCommandRec::FromPackedKey(r.PackedKey(), ccHome), r);
}

class WordStarFirst : public ::testing::Test {
protected:
  WordStarFirst() {
    p.MoveTable(1, 0);
    p.GetTableByName("WordStar")->SetIsActive(true);
  }
  TOvcCommandProcessor p;
};

TEST_F(WordStarFirst, TwoKeySequencesResetAndAnEarlierTableWins) {
  EXPECT_EQ(p.TranslateKeyState('Q', ss_Ctrl), ccSequencePending);
  EXPECT_EQ(p.TranslateKeyState('S', ss_None), ccHome);
  EXPECT_EQ(p.TranslateKeyState('Q', ss_Ctrl), ccSequencePending);
  EXPECT_EQ(p.TranslateKeyState('D', ss_Ctrl), ccEnd) << "the second key may be held with Ctrl";
  EXPECT_EQ(p.TranslateKeyState('Q', ss_Ctrl), ccSequencePending);
  EXPECT_EQ(p.TranslateKeyState(VK_SHIFT, ss_Shift), ccSequencePending)
      << "a shift key alone keeps it pending";
  EXPECT_EQ(p.TranslateKeyState('S', ss_Shift), ccDiscard);
  EXPECT_EQ(p.TranslateKeyState('S', ss_None), ccNoCommand) << "the sequence was reset";

  // An earlier table wins.
  EXPECT_EQ(p.TranslateKeyState('Z', ss_Ctrl), ccScrollDown);
  EXPECT_EQ(p.TranslateKeyState(VK_LEFT, ss_None), ccLeft) << "WordStar has no Left: Default answers";

  // Reset ends a pending sequence.
  EXPECT_EQ(p.TranslateKeyState('Q', ss_Ctrl), ccSequencePending);
  p.ResetCommandProcessor();
  EXPECT_EQ(p.TranslateKeyState('S', ss_None), ccNoCommand);
}

TEST_F(WordStarFirst, LiteralCharacterAfterCtrlPAndLookupsLeaveTheStateAlone) {
  EXPECT_EQ(p.TranslateKeyState('P', ss_Ctrl), ccCtrlChar);
  EXPECT_EQ(p.TranslateKeyState(VK_SHIFT, ss_Shift), ccNoCommand) << "shift keys leave the state alone";
  EXPECT_EQ(p.TranslateKeyState('S', ss_Ctrl), ccNoCommand) << "the key goes to the field as a character";
  EXPECT_EQ(p.TranslateKeyState('S', ss_Ctrl), ccLeft);

  // A lookup leaves the state alone.
  EXPECT_EQ(p.LookupKeyState('Q', ss_Ctrl), ccSequencePending);
  EXPECT_EQ(p.TranslateKeyState('S', ss_None), ccNoCommand) << "the lookup started no sequence";
  EXPECT_EQ(p.TranslateKeyState('Q', ss_Ctrl), ccSequencePending);
  EXPECT_EQ(p.LookupKeyState('S', ss_None), ccHome);
  EXPECT_EQ(p.TranslateKeyState('S', ss_None), ccHome) << "still pending after the lookups";
}

TEST_F(WordStarFirst, SequenceDoesNotFollowTheFocusToAnotherControl) {
  int first = 0, second = 0;
  const void *focused = &first;
  p.SetFocusOwnerFunction([&] { return focused; });
  EXPECT_EQ(p.TranslateKeyState('Q', ss_Ctrl), ccSequencePending);
  focused = &second;
  EXPECT_EQ(p.TranslateKeyState(VK_SHIFT, ss_Shift), ccNoCommand);
  EXPECT_EQ(p.TranslateKeyState('S', ss_None), ccNoCommand) << "S typed in the other control is just S";
  EXPECT_EQ(p.TranslateKeyState('Q', ss_Ctrl), ccSequencePending);
  EXPECT_EQ(p.TranslateKeyState('S', ss_None), ccHome) << "a sequence within one control still works";
}

TEST(CommandProcessor, TranslateUsingSearchesTheNamedTablesInOrderAndClearLeavesNone) {
  TOvcCommandProcessor p;
  EXPECT_EQ(p.TranslateUsingKeyState({"Grid", "Default"}, VK_LEFT, ss_Ctrl), ccPageLeft);
  EXPECT_EQ(p.TranslateUsingKeyState({"Default", "Grid"}, VK_LEFT, ss_Ctrl), ccWordLeft);
  EXPECT_EQ(p.TranslateUsingKeyState({"missing", "grid"}, VK_F2, ss_None), ccTableEdit)
      << "inactive tables too";
  EXPECT_EQ(p.LookupUsingKeyState({"WordStar"}, 'Q', ss_Ctrl), ccSequencePending);
  EXPECT_EQ(p.TranslateKeyState(VK_F2, ss_None), ccNoCommand) << "Translate uses only the active tables";

  // Cleared, no table answers.
  p.Clear();
  EXPECT_EQ(p.TableCount(), 0);
  EXPECT_EQ(p.TranslateKeyState(VK_LEFT, ss_None), ccNoCommand);
}

TEST(CommandProcessor, AddCommandChecksTableAndDuplicatesAndOneKeyHidesTwoKeys) {
  TOvcCommandProcessor p;
  EXPECT_EQ(MessageOf<ETableNotFound>([&] { p.AddCommand("nope", Rec(VK_F5, 0, 0, 0, ccUserFirst)); }),
            "Command table not found or command table index out of range");
  // The same keys as ccUndo.
  EXPECT_EQ(
      MessageOf<EDuplicateCommand>([&] { p.AddCommand("default", Rec('Z', ss_Ctrl, 0, 0, ccUserFirst)); }),
      "Duplicate command found while adding a new command to the table");
  p.AddCommand("Grid", Rec(VK_F5, 0, 0, 0, ccUserFirst));
  EXPECT_EQ(p.TranslateUsingKeyState({"Grid"}, VK_F5, ss_None), ccUserFirst);

  // A one-key record hides a two-key record behind it.
  p.AddCommand("Default", Rec(VK_F6, 0, 0, 0, ccUserFirst + 1));
  p.AddCommand("Default", Rec(VK_F6, 0, 'A', 0, ccUserFirst + 2));
  EXPECT_EQ(p.TranslateKeyState(VK_F6, ss_None), ccUserFirst + 1);
}

TEST(CommandProcessor, UniqueTableNames) {
  TOvcCommandProcessor p;
  auto add = [&p](const char *name) {
    auto table = std::make_unique<TOvcCommandTable>();
    table->SetTableName(name);
    return p.AddTable(std::move(table))->TableName();
  };
  EXPECT_EQ(add("Default1"), "Default1");
  EXPECT_EQ(add("Default"), "Default2");
  add("Mine");
  EXPECT_EQ(add("Mine7"), "Mine1") << "the base is taken: numbered from 1";
  EXPECT_EQ(add("Other3"), "Other3") << "a free base keeps the name with its digits";
  EXPECT_EQ(add("Other3"), "Other") << "but never the name of another table";
}

TEST(CommandTable, EditingRecords) {
  TOvcCommandTable t;
  t.AddCommandRec(Rec('A', 0, 0, 0, 300));
  t.AddCommandRec(Rec('B', 0, 0, 0, 301));
  t.InsertCommandRec(0, Rec('C', 0, 0, 0, 302));
  EXPECT_EQ(t.FindKeys(Rec('B', 0, 0, 0, 999)), 2) << "the command is not compared";
  EXPECT_EQ(t.FindKeys(Rec('B', ss_Shift, 0, 0, 301)), -1);
  t.ReplaceCommandRec(2, Rec('D', 0, 0, 0, 303));
  t.DeleteCommand(0);
  ASSERT_EQ(t.Count(), 2);
  EXPECT_THROW(t.DeleteCommand(2), EListError);
}

TEST(CommandTableStream, OnlyDifferencesFromTheStockTableAreWrittenAndRoundTrip) {
  TOvcCommandProcessor p;
  TOvcCommandTable *table = p.GetTableByName("Default");
  const TOvcKeyCommandRec removed = table->GetCommandRec(5);
  table->DeleteCommand(5);                                            // End: removed
  table->ReplaceCommandRec(10, Rec(VK_INSERT, 0, 0, 0, ccUserFirst)); // Insert: changed
  table->AddCommandRec(Rec(VK_F5, ss_Alt, 0, 0, ccUserFirst + 1));    // Alt+F5: new
  table->SetIsActive(false);

  const std::vector<TOvcStreamedCommand> pairs = table->StreamedCommands();
  const std::vector<TOvcStreamedCommand> expected = {
      {removed.PackedKey(), 0},
      {Rec(VK_INSERT, 0, 0, 0, 0).PackedKey(), ccUserFirst},
      {Rec(VK_F5, ss_Alt, 0, 0, 0).PackedKey(), ccUserFirst + 1}};
  EXPECT_EQ(pairs, expected);

  TOvcCommandTable read;
  read.ReadStreamed("DEFAULT", false, pairs);
  EXPECT_EQ(read.Records(), table->Records());
  EXPECT_FALSE(read.IsActive());
}

class KeyTableFiles : public ::testing::Test {
protected:
  QString Path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
  QTemporaryDir dir;
};

TEST_F(KeyTableFiles, SaveWritesAndLoadReadsTheTextForm) {
  TOvcCommandTable t;
  t.SetTableName("Mine");
  t.AddCommandRec(Rec('Q', ss_Ctrl, 'S', ss_Wild, ccHome));
  t.AddCommandRec(Rec(VK_F2, 0, 0, 0, 65535));
  t.SaveToFile(Path("mine.kt"));
  QFile saved(Path("mine.kt"));
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(saved.readAll()), "Mine\n"
                                                "  81   4  83 128    42\n"
                                                " 113   0   0   0 65535\n");

  // Loading reads five integers a line and keeps the active flag.
  WriteAll(Path("t.kt"), "Keys\r\n 37 0 0 0 46\n\n\t38   2 0 0    24  \n");
  TOvcCommandTable loaded;
  loaded.SetIsActive(false);
  loaded.AddCommandRec(Rec('A', 0, 0, 0, 1));
  loaded.LoadFromFile(Path("t.kt"));
  EXPECT_FALSE(loaded.IsActive());
  ASSERT_EQ(loaded.Count(), 2);
  EXPECT_EQ(loaded.GetCommandRec(1), Rec(VK_UP, ss_Shift, 0, 0, ccExtendUp));
}

TEST_F(KeyTableFiles, SaveAndLoadRoundTripAStockTableAndBadFilesRaise) {
  TOvcCommandProcessor p;
  p.SaveCommandTable("WordStar", Path("stock.kt"));
  TOvcCommandTable t;
  t.LoadFromFile(Path("stock.kt"));
  EXPECT_EQ(std::pair(t.TableName(), t.Records()),
            std::pair(QStringLiteral("WordStar"), p.Tables(1)->Records()));
  p.SaveCommandTable("missing", Path("none.kt"));
  EXPECT_FALSE(QFile::exists(Path("none.kt")));

  // Bad files raise and keep what was read.
  WriteAll(Path("bad.kt"), "Bad\n37 0 0 0 46\n38 0 x 0 73\n39 0 0 0 55\n");
  TOvcCommandTable damaged;
  EXPECT_THROW(damaged.LoadFromFile(Path("bad.kt")), EInOutError);
  EXPECT_EQ(damaged.Count(), 1);
  for (const char *line : {"1 2 3 4 5 6\n", "1 0 0 0 65536\n"}) {
    WriteAll(Path("bad.kt"), QByteArray("Bad\n") + line);
    EXPECT_THROW(damaged.LoadFromFile(Path("bad.kt")), EInOutError) << line;
  }
  EXPECT_THROW(damaged.LoadFromFile(Path("missing.kt")), EInOutError);
  EXPECT_THROW(damaged.SaveToFile(Path("no/such/folder/t.kt")), EInOutError);
}

TEST_F(KeyTableFiles, LoadCommandTableAddsUnderAUniqueNameOrNotAtAll) {
  WriteAll(Path("grid.kt"), "Grid\n113 0 0 0 69\n");
  TOvcCommandProcessor p;
  EXPECT_EQ(p.LoadCommandTable(Path("grid.kt")), 3);
  EXPECT_EQ(p.Tables(3)->TableName(), "Grid1");

  WriteAll(Path("bad.kt"), "Bad\n1 2\n");
  EXPECT_THROW(p.LoadCommandTable(Path("bad.kt")), EInOutError);
  EXPECT_EQ(p.TableCount(), 4);
}

QByteArray Written(TPersistent *object) {
  TMemoryStream stream;
  TWriter writer(&stream);
  writer.WriteProperties(object);
  return stream.Bytes();
}

void ReadInto(TPersistent *object, const QByteArray &bytes) {
  TMemoryStream stream(bytes);
  TReader reader(&stream);
  reader.ReadProperties(object);
}

QByteArray ShortString(const char *text) { return QByteArray(1, char(qstrlen(text))) + text; }

TEST(CommandProcessorStream, UnchangedStockTablesWriteNameFlagAndEmptyListAndNoTablesNone) {
  TOvcCommandProcessor p;
  const QByteArray expected = ShortString("TableList") + '\x01' +                                //
                              '\x06' + ShortString("Default") + '\x09' + '\x01' + '\x00' +       //
                              '\x06' + ShortString("WordStar") + '\x08' + '\x01' + '\x00' +      //
                              '\x06' + ShortString("Grid") + '\x08' + '\x01' + '\x00' + '\x00' + //
                              '\x00';
  EXPECT_EQ(Written(&p), expected);

  // No tables load back as no tables.
  TOvcCommandProcessor none;
  none.Clear();
  TOvcCommandProcessor read;
  ReadInto(&read, Written(&none));
  EXPECT_EQ(read.TableCount(), 0);
}

TEST(CommandProcessorStream, TablesRoundTrip) {
  TOvcCommandProcessor p;
  p.GetTableByName("Default")->DeleteCommand(0);
  p.GetTableByName("WordStar")->SetIsActive(true);
  p.MoveTable(1, 0);
  auto mine = std::make_unique<TOvcCommandTable>();
  mine->SetTableName("Mine");
  mine->SetIsActive(false);
  mine->AddCommandRec(Rec('Q', ss_Ctrl, 'Z', ss_Wild, ccUserFirst + 7));
  mine->AddCommandRec(Rec(VK_F12, ss_Alt | ss_Shift, 0, 0, 65535));
  p.AddTable(std::move(mine));
  p.AddTable(std::make_unique<TOvcCommandTable>()); // an empty table is kept too
  const QByteArray bytes = Written(&p);

  TOvcCommandProcessor read;
  read.AddTable(std::make_unique<TOvcCommandTable>()); // replaced by reading
  ReadInto(&read, bytes);
  ASSERT_EQ(read.TableCount(), p.TableCount());
  EXPECT_EQ(Written(&read), bytes);
}

TEST(CommandProcessorStream, ATruncatedListLeavesTheTablesAsTheyWere) {
  TOvcCommandProcessor p;
  auto mine = std::make_unique<TOvcCommandTable>();
  mine->SetTableName("Mine");
  mine->AddCommandRec(Rec(VK_F5, 0, 0, 0, 300));
  p.AddTable(std::move(mine));
  const QByteArray bytes = Written(&p);

  TOvcCommandProcessor read;
  EXPECT_THROW(ReadInto(&read, bytes.left(bytes.size() - 6)), EReadError);
  EXPECT_EQ(read.TableCount(), 3);
}

TEST(CommandTableStream, CommandListProperty) {
  TOvcCommandTable t;
  EXPECT_EQ(Written(&t), QByteArray(1, '\0')) << "an empty table stores nothing";
  t.SetTableName("Mine");
  t.AddCommandRec(Rec(VK_F5, 0, 0, 0, 300));
  const QByteArray expected = ShortString("CommandList") + '\x06' + ShortString("Mine") + '\x09' + '\x01' +
                              '\x02' + '\x74' + '\x03' + QByteArray("\x2C\x01", 2) + '\x00' + '\x00';
  EXPECT_EQ(Written(&t), expected);
  TOvcCommandTable read;
  read.AddCommandRec(Rec('X', 0, 0, 0, 1)); // replaced by reading
  ReadInto(&read, expected);
  EXPECT_EQ(read.Records(), t.Records());
}

// Pins the keyboard state that key messages are handled with.
struct HeldKeys {
  explicit HeldKeys(Qt::KeyboardModifiers modifiers) { SetInputState(modifiers, Qt::NoButton); }
  ~HeldKeys() { SetInputState(Qt::NoModifier, Qt::NoButton); }
};

TMessage KeyDown(WORD key) { return TMessage{WM_KEYDOWN, key, 0, 0}; }

TEST(CommandProcessorMessages, TranslateTakesTheShiftKeysOfTheMessageOrAShiftSet) {
  TOvcCommandProcessor p;
  {
    HeldKeys keys(Qt::ControlModifier);
    EXPECT_EQ(p.Translate(KeyDown('Z')), ccUndo);
  }
  EXPECT_EQ(p.Translate(TMessage{WM_KEYDOWN, 0x1225, 0, 0}), ccLeft) << "only the low byte is the key";

  // TranslateKey takes a shift set; mouse buttons are ignored.
  EXPECT_EQ(p.TranslateKey('Z', TShiftState{ssCtrl, ssShift}), ccRedo);
  EXPECT_EQ(p.TranslateKey(VK_LEFT, TShiftState{ssCtrl, ssLeft, ssDouble}), ccWordLeft)
      << "mouse buttons ignored";
}

} // namespace
