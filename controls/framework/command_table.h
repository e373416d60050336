// A named key table: records that translate a key, or a sequence of two keys, into an editing command. The
// first matching record wins. Key numbers are Windows virtual keys; shift states are the key-table bits of
// platform/virtual_keys.h.
#pragma once
#include "controls/framework/command_codes.h"
#include "platform/core/filer.h"
#include "platform/core/object.h"
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

struct TOvcKeyCommandRec {
  std::uint8_t Key1 = 0;   // virtual key of the first key
  std::uint8_t Shift1 = 0; // shift state of the first key
  std::uint8_t Key2 = 0;   // virtual key of the second key; 0 for a one-key command
  std::uint8_t Shift2 = 0; // shift state of the second key, or ss_Wild
  TOvcCommandCode Cmd = ccNone;

  // The four key bytes as a little-endian 32-bit integer, Key1 in the low byte: the stored form's key.
  std::int32_t PackedKey() const;
  static TOvcKeyCommandRec FromPackedKey(std::int32_t packed, TOvcCommandCode cmd);
  bool SameKeys(const TOvcKeyCommandRec &other) const { return PackedKey() == other.PackedKey(); }
  bool operator==(const TOvcKeyCommandRec &) const = default;
};

// A (packed key, command) pair of the stored form.
using TOvcStreamedCommand = std::pair<std::int32_t, std::int32_t>;

class TOvcCommandTable : public TPersistent {
public:
  // Empty, active, named "(Unknown)".
  TOvcCommandTable();
  QString ClassName() const override { return QStringLiteral("TOvcCommandTable"); }

  bool IsActive() const { return active_; }
  void SetIsActive(bool active) { active_ = active; }
  QString TableName() const { return name_; }
  void SetTableName(const QString &name) { name_ = name; }

  int Count() const { return int(records_.size()); }
  // A copy of the record at Index (EListError when out of range).
  TOvcKeyCommandRec GetCommandRec(int index) const;
  // The index of the first record with the same four key bytes, or -1; the command is not compared.
  int FindKeys(const TOvcKeyCommandRec &rec) const;
  void AddCommandRec(const TOvcKeyCommandRec &rec);
  void InsertCommandRec(int index, const TOvcKeyCommandRec &rec);
  void ReplaceCommandRec(int index, const TOvcKeyCommandRec &rec);
  void DeleteCommand(int index);
  void Clear();
  const std::vector<TOvcKeyCommandRec> &Records() const { return records_; }

  // The text form: the name on the first line, then one record per line as five decimal integers (Key1,
  // Shift1, Key2, Shift2, Cmd). Loading clears the table first and leaves the active flag alone; a file
  // that cannot be read raises EInOutError, keeping the records read so far.
  void LoadFromFile(const QString &fileName);
  void SaveToFile(const QString &fileName) const;

  // The stored form's list after the name and the active flag: for a table named like a stock table only the
  // differences from it (removed stock keys as (key, 0) first, then new or changed records), for any other
  // table every record.
  std::vector<TOvcStreamedCommand> StreamedCommands() const;
  // Rebuilds the table from a stored name, active flag and list, undoing StreamedCommands.
  void ReadStreamed(const QString &name, bool active, const std::vector<TOvcStreamedCommand> &commands);

  // The stored property "CommandList" (written when the table has records): the name, the active flag and the
  // list of (packed key, command) integer pairs of StreamedCommands.
  void DefineProperties(TFiler *Filer) override;
  // The content of "CommandList", also used for each table of a processor's "TableList".
  void WriteCommands(TWriter *Writer) const;
  void ReadCommands(TReader *Reader);

private:
  void CheckIndex(int index, int limit) const;

  bool active_ = true;
  std::vector<TOvcKeyCommandRec> records_;
  QString name_;
};
