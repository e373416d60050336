#include "controls/framework/command_table.h"
#include "controls/framework/library_messages.h"
#include "controls/framework/stock_key_tables.h"
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextStream>
#include <algorithm>

std::int32_t TOvcKeyCommandRec::PackedKey() const {
  const std::uint32_t packed = std::uint32_t(Key1) | std::uint32_t(Shift1) << 8 | std::uint32_t(Key2) << 16 |
                               std::uint32_t(Shift2) << 24;
  return std::int32_t(packed);
}

TOvcKeyCommandRec TOvcKeyCommandRec::FromPackedKey(std::int32_t packed, TOvcCommandCode cmd) {
  const std::uint32_t bits = std::uint32_t(packed);
  return TOvcKeyCommandRec{std::uint8_t(bits), std::uint8_t(bits >> 8), std::uint8_t(bits >> 16),
                           std::uint8_t(bits >> 24), cmd};
}

TOvcCommandTable::TOvcCommandTable() : name_(LibraryMessageText(msg::UnknownTableName)) {}

void TOvcCommandTable::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit)
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

TOvcKeyCommandRec TOvcCommandTable::GetCommandRec(int index) const {
  CheckIndex(index, Count());
  return records_[size_t(index)];
}

int TOvcCommandTable::FindKeys(const TOvcKeyCommandRec &rec) const {
  const auto it = std::find_if(records_.begin(), records_.end(),
                               [&rec](const TOvcKeyCommandRec &r) { return r.SameKeys(rec); });
  return it == records_.end() ? -1 : int(it - records_.begin());
}

void TOvcCommandTable::AddCommandRec(const TOvcKeyCommandRec &rec) { records_.push_back(rec); }

void TOvcCommandTable::InsertCommandRec(int index, const TOvcKeyCommandRec &rec) {
  CheckIndex(index, Count() + 1);
  records_.insert(records_.begin() + index, rec);
}

void TOvcCommandTable::ReplaceCommandRec(int index, const TOvcKeyCommandRec &rec) {
  CheckIndex(index, Count());
  records_[size_t(index)] = rec;
}

void TOvcCommandTable::DeleteCommand(int index) {
  CheckIndex(index, Count());
  records_.erase(records_.begin() + index);
}

void TOvcCommandTable::Clear() { records_.clear(); }

namespace {

// A name read from a key-table file, as saving can write it back: reading drops one byte-order mark, and more
// of them (a file converted twice) belong to no name either; half of a character, from a damaged UTF-16 file,
// becomes the replacement character.
QString NameAsWritable(QString name) {
  while (name.startsWith(QChar(0xFEFF))) name.remove(0, 1);
  for (qsizetype i = 0; i < name.size(); ++i) {
    if (name[i].isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate())
      ++i;
    else if (name[i].isSurrogate())
      name[i] = QChar::ReplacementCharacter;
  }
  return name;
}

} // namespace

void TOvcCommandTable::LoadFromFile(const QString &fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
    throw EInOutError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
  Clear();
  QTextStream in(&file);
  name_ = NameAsWritable(in.readLine());
  static const QRegularExpression blanks(QStringLiteral("\\s+"));
  int lineNumber = 1;
  while (!in.atEnd()) {
    const QString line = in.readLine().trimmed();
    ++lineNumber;
    if (line.isEmpty()) continue;
    const QStringList fields = line.split(blanks);
    const auto bad = [&] {
      return EInOutError(
          QStringLiteral("Invalid key table line %1 in \"%2\": %3").arg(lineNumber).arg(fileName, line));
    };
    if (fields.size() != 5) throw bad();
    int values[5];
    for (int i = 0; i < 5; ++i) {
      bool ok = false;
      values[i] = fields[i].toInt(&ok);
      const int limit = i < 4 ? 255 : 65535;
      if (!ok || values[i] < 0 || values[i] > limit) throw bad();
    }
    AddCommandRec(TOvcKeyCommandRec{std::uint8_t(values[0]), std::uint8_t(values[1]), std::uint8_t(values[2]),
                                    std::uint8_t(values[3]), TOvcCommandCode(values[4])});
  }
  if (in.status() != QTextStream::Ok || file.error() != QFileDevice::NoError)
    throw EInOutError(QStringLiteral("Cannot read file \"%1\". %2").arg(fileName, file.errorString()));
}

void TOvcCommandTable::SaveToFile(const QString &fileName) const {
  // Written to the side and put in place only when complete, so a failed save leaves the old file intact.
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
    throw EInOutError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
  QTextStream out(&file);
  out << name_ << '\n';
  for (const TOvcKeyCommandRec &r : records_)
    out << QStringLiteral("%1%2%3%4%5\n")
               .arg(r.Key1, 4)
               .arg(r.Shift1, 4)
               .arg(r.Key2, 4)
               .arg(r.Shift2, 4)
               .arg(r.Cmd, 6);
  out.flush();
  if (out.status() != QTextStream::Ok || !file.commit())
    throw EInOutError(QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, file.errorString()));
}

std::vector<TOvcStreamedCommand> TOvcCommandTable::StreamedCommands() const {
  std::vector<TOvcStreamedCommand> out;
  const std::optional<TStockKeyTable> stock = FindStockKeyTable(name_);
  if (!stock) {
    for (const TOvcKeyCommandRec &r : records_) out.emplace_back(r.PackedKey(), r.Cmd);
    return out;
  }
  const std::span<const TOvcKeyCommandRec> stockRecords = StockKeyTableRecords(*stock);
  for (const TOvcKeyCommandRec &s : stockRecords)
    if (FindKeys(s) < 0) out.emplace_back(s.PackedKey(), 0);
  for (const TOvcKeyCommandRec &r : records_)
    if (std::find(stockRecords.begin(), stockRecords.end(), r) == stockRecords.end())
      out.emplace_back(r.PackedKey(), r.Cmd);
  return out;
}

void TOvcCommandTable::ReadStreamed(const QString &name, bool active,
                                    const std::vector<TOvcStreamedCommand> &commands) {
  name_ = name;
  active_ = active;
  Clear();
  const std::optional<TStockKeyTable> stock = FindStockKeyTable(name_);
  if (!stock) {
    for (const auto &[key, cmd] : commands)
      AddCommandRec(TOvcKeyCommandRec::FromPackedKey(key, TOvcCommandCode(cmd)));
    return;
  }
  records_.assign(StockKeyTableRecords(*stock).begin(), StockKeyTableRecords(*stock).end());
  for (const auto &[key, cmd] : commands) {
    const TOvcKeyCommandRec rec = TOvcKeyCommandRec::FromPackedKey(key, TOvcCommandCode(cmd));
    const int index = FindKeys(rec);
    if (index < 0)
      AddCommandRec(rec);
    else if (cmd != 0)
      ReplaceCommandRec(index, rec);
    else
      DeleteCommand(index);
  }
}

void TOvcCommandTable::DefineProperties(TFiler *Filer) {
  Filer->DefineProperty(
      QStringLiteral("CommandList"), [this](TReader *reader) { ReadCommands(reader); },
      [this](TWriter *writer) { WriteCommands(writer); }, Count() > 0);
}

void TOvcCommandTable::WriteCommands(TWriter *Writer) const {
  Writer->WriteString(name_);
  Writer->WriteBoolean(active_);
  Writer->WriteListBegin();
  for (const auto &[key, cmd] : StreamedCommands()) {
    Writer->WriteInteger(key);
    Writer->WriteInteger(cmd);
  }
  Writer->WriteListEnd();
}

void TOvcCommandTable::ReadCommands(TReader *Reader) {
  const QString name = Reader->ReadString();
  const bool active = Reader->ReadBoolean();
  std::vector<TOvcStreamedCommand> commands;
  Reader->ReadListBegin();
  while (!Reader->EndOfList()) {
    const std::int32_t key = Reader->ReadInteger();
    const std::int32_t cmd = Reader->ReadInteger();
    if (cmd < 0 || cmd > 0xFFFF) throw EReadError(QStringLiteral("Invalid property value"));
    commands.emplace_back(key, cmd);
  }
  Reader->ReadListEnd();
  ReadStreamed(name, active, commands);
}
