#include "controls/framework/command_processor.h"
#include "controls/framework/control_helpers.h"
#include "controls/framework/library_exceptions.h"
#include "controls/framework/stock_key_tables.h"
#include "platform/windowing/virtual_keys.h"
#include <QApplication>
#include <QWidget>

namespace {

bool IsShiftOrLockKey(std::uint8_t key) {
  return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || key == VK_CAPITAL || key == VK_NUMLOCK ||
         key == VK_SCROLL;
}

std::uint8_t MessageKey(const TMessage &msg) { return std::uint8_t(msg.WParam & 0xFF); }

std::uint8_t ShiftFlags(TShiftState shift) {
  std::uint8_t flags = ss_None;
  if (shift.Contains(ssShift)) flags |= ss_Shift;
  if (shift.Contains(ssCtrl)) flags |= ss_Ctrl;
  if (shift.Contains(ssAlt)) flags |= ss_Alt;
  return flags;
}

bool SameName(const QString &a, const QString &b) { return a.toUpper() == b.toUpper(); }

const void *FocusedWidget() { return QApplication::focusWidget(); }

} // namespace

TOvcCommandProcessor::TOvcCommandProcessor() : focusOwner_(FocusedWidget) {
  for (TStockKeyTable stock : {TStockKeyTable::Default, TStockKeyTable::WordStar, TStockKeyTable::Grid}) {
    auto table = std::make_unique<TOvcCommandTable>();
    table->SetTableName(StockKeyTableName(stock));
    table->SetIsActive(stock == TStockKeyTable::Default);
    const QString name = AddTable(std::move(table))->TableName();
    for (const TOvcKeyCommandRec &rec : StockKeyTableRecords(stock)) AddCommand(name, rec);
  }
  ResetCommandProcessor();
}

TOvcCommandProcessor::~TOvcCommandProcessor() = default;

QString TOvcCommandProcessor::UniqueTableName(const QString &name) const {
  QString base = name;
  while (base.size() >= 2 && base.back().isDigit()) base.chop(1);
  // The name stays as it is when its base is free, unless the name itself is taken.
  if (!GetTableByName(base)) return GetTableByName(name) ? base : name;
  for (int n = 1;; ++n) {
    const QString candidate = base + QString::number(n);
    if (!GetTableByName(candidate)) return candidate;
  }
}

TOvcCommandTable *TOvcCommandProcessor::AddTable(std::unique_ptr<TOvcCommandTable> table) {
  table->SetTableName(UniqueTableName(table->TableName()));
  tables_.push_back(std::move(table));
  return tables_.back().get();
}

void TOvcCommandProcessor::AddCommand(const QString &tableName, const TOvcKeyCommandRec &rec) {
  TOvcCommandTable *table = GetTableByName(tableName);
  if (!table) throw ETableNotFound();
  if (table->FindKeys(rec) >= 0) throw EDuplicateCommand();
  table->AddCommandRec(rec);
}

TOvcCommandTable *TOvcCommandProcessor::GetTableByName(const QString &name) const {
  for (const auto &table : tables_)
    if (SameName(table->TableName(), name)) return table.get();
  return nullptr;
}

TOvcCommandTable *TOvcCommandProcessor::Tables(int index) const {
  if (index < 0 || index >= TableCount()) throw ETableNotFound();
  return tables_[size_t(index)].get();
}

void TOvcCommandProcessor::MoveTable(int fromIndex, int toIndex) {
  if (fromIndex < 0 || fromIndex >= TableCount() || toIndex < 0 || toIndex >= TableCount())
    throw ETableNotFound();
  auto table = std::move(tables_[size_t(fromIndex)]);
  tables_.erase(tables_.begin() + fromIndex);
  tables_.insert(tables_.begin() + toIndex, std::move(table));
}

void TOvcCommandProcessor::Clear() { tables_.clear(); }

int TOvcCommandProcessor::LoadCommandTable(const QString &fileName) {
  auto table = std::make_unique<TOvcCommandTable>();
  table->LoadFromFile(fileName); // on failure the table is freed here and never added
  AddTable(std::move(table));
  return TableCount() - 1;
}

void TOvcCommandProcessor::SaveCommandTable(const QString &tableName, const QString &fileName) {
  if (TOvcCommandTable *table = GetTableByName(tableName)) table->SaveToFile(fileName);
}

void TOvcCommandProcessor::DefineProperties(TFiler *Filer) {
  const auto read = [this](TReader *reader) {
    std::vector<std::unique_ptr<TOvcCommandTable>> read;
    reader->ReadListBegin();
    while (!reader->EndOfList()) {
      auto table = std::make_unique<TOvcCommandTable>();
      table->ReadCommands(reader);
      read.push_back(std::move(table));
    }
    reader->ReadListEnd();
    Clear();
    for (auto &table : read) AddTable(std::move(table));
  };
  const auto write = [this](TWriter *writer) {
    writer->WriteListBegin();
    for (const auto &table : tables_) table->WriteCommands(writer);
    writer->WriteListEnd();
  };
  // Written even without tables: leaving it out would load the stock tables back.
  Filer->DefineProperty(QStringLiteral("TableList"), read, write, true);
}

void TOvcCommandProcessor::ResetCommandProcessor() {
  state_ = SequenceState::Idle;
  sequenceOwner_ = nullptr;
}

void TOvcCommandProcessor::SetFocusOwnerFunction(FocusOwnerFunction function) {
  focusOwner_ = function ? std::move(function) : FocusOwnerFunction(FocusedWidget);
}

std::vector<TOvcCommandTable *> TOvcCommandProcessor::ActiveTables() const {
  std::vector<TOvcCommandTable *> out;
  for (const auto &table : tables_)
    if (table->IsActive()) out.push_back(table.get());
  return out;
}

std::vector<TOvcCommandTable *> TOvcCommandProcessor::NamedTables(const QStringList &names) const {
  std::vector<TOvcCommandTable *> out;
  for (const QString &name : names)
    if (TOvcCommandTable *table = GetTableByName(name)) out.push_back(table);
  return out;
}

TOvcCommandProcessor::Outcome TOvcCommandProcessor::Evaluate(const std::vector<TOvcCommandTable *> &tables,
                                                             std::uint8_t key, std::uint8_t shift) const {
  SequenceState state = state_;
  // A sequence begun in another control does not continue here.
  if (state == SequenceState::FirstKeySeen && focusOwner_() != sequenceOwner_) state = SequenceState::Idle;

  if (IsShiftOrLockKey(key)) {
    const TOvcCommandCode code = state == SequenceState::FirstKeySeen ? ccSequencePending : ccNoCommand;
    return Outcome{code, state, savedKey_, savedShift_};
  }
  if (state == SequenceState::LiteralNext) return Outcome{ccNoCommand, SequenceState::Idle, 0, 0};

  for (const TOvcCommandTable *table : tables) {
    for (const TOvcKeyCommandRec &r : table->Records()) {
      bool match;
      if (state == SequenceState::FirstKeySeen)
        match = r.Key1 == savedKey_ && r.Shift1 == savedShift_ && r.Key2 == key &&
                (r.Shift2 == shift || (r.Shift2 == ss_Wild && (shift == ss_None || shift == ss_Ctrl)));
      else
        match = r.Key1 == key && r.Shift1 == shift;
      if (!match) continue;
      if (state == SequenceState::Idle && r.Key2 != 0)
        return Outcome{ccSequencePending, SequenceState::FirstKeySeen, key, shift};
      if (r.Cmd == ccNone) break; // a record for "no command": the next table may have one
      return Outcome{r.Cmd, r.Cmd == ccCtrlChar ? SequenceState::LiteralNext : SequenceState::Idle, 0, 0};
    }
  }
  return Outcome{state == SequenceState::FirstKeySeen ? ccDiscard : ccNoCommand, SequenceState::Idle, 0, 0};
}

TOvcCommandCode TOvcCommandProcessor::Apply(const Outcome &outcome) {
  sequenceOwner_ = outcome.state == SequenceState::FirstKeySeen ? focusOwner_() : nullptr;
  state_ = outcome.state;
  savedKey_ = outcome.key;
  savedShift_ = outcome.shift;
  return outcome.code;
}

TOvcCommandCode TOvcCommandProcessor::TranslateKeyState(std::uint8_t key, std::uint8_t shift) {
  return Apply(Evaluate(ActiveTables(), key, shift));
}

TOvcCommandCode TOvcCommandProcessor::TranslateUsingKeyState(const QStringList &tableNames, std::uint8_t key,
                                                             std::uint8_t shift) {
  return Apply(Evaluate(NamedTables(tableNames), key, shift));
}

TOvcCommandCode TOvcCommandProcessor::LookupKeyState(std::uint8_t key, std::uint8_t shift) const {
  return Evaluate(ActiveTables(), key, shift).code;
}

TOvcCommandCode TOvcCommandProcessor::LookupUsingKeyState(const QStringList &tableNames, std::uint8_t key,
                                                          std::uint8_t shift) const {
  return Evaluate(NamedTables(tableNames), key, shift).code;
}

TOvcCommandCode TOvcCommandProcessor::Translate(const TMessage &Msg) {
  return TranslateKeyState(MessageKey(Msg), GetShiftFlags());
}

TOvcCommandCode TOvcCommandProcessor::TranslateKey(WORD Key, TShiftState Shift) {
  return TranslateKeyState(std::uint8_t(Key & 0xFF), ShiftFlags(Shift));
}

TOvcCommandCode TOvcCommandProcessor::TranslateUsing(const QStringList &TableNames, const TMessage &Msg) {
  return TranslateUsingKeyState(TableNames, MessageKey(Msg), GetShiftFlags());
}

TOvcCommandCode TOvcCommandProcessor::Lookup(const TMessage &Msg) const {
  return LookupKeyState(MessageKey(Msg), GetShiftFlags());
}

TOvcCommandCode TOvcCommandProcessor::LookupUsing(const QStringList &TableNames, const TMessage &Msg) const {
  return LookupUsingKeyState(TableNames, MessageKey(Msg), GetShiftFlags());
}
