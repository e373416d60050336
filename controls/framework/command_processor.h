// The command processor turns keystrokes into editing commands through its key tables. Entry fields and
// tables hand it every key-down and act on the command that comes back. It holds the stock tables "Default"
// (active), "WordStar" and "Grid" and any tables added or loaded, in order; translation searches the active
// tables in that order and the first matching record wins.
//
// Two-key sequences: a key that starts a sequence answers ccSequencePending and the next key completes it
// (ccDiscard when it completes nothing). After ccCtrlChar the next key is passed on as a literal character.
// A pending sequence ends when the focus moves to another control.
#pragma once
#include "controls/framework/command_table.h"
#include "platform/windowing/messages.h"
#include "platform/windowing/shift_state.h"
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class TOvcCommandProcessor : public TPersistent {
public:
  // Creates the three stock tables and an idle sequence state.
  TOvcCommandProcessor();
  ~TOvcCommandProcessor() override;
  QString ClassName() const override { return QStringLiteral("TOvcCommandProcessor"); }

  // Takes the table, renames it if another table has its name (see UniqueTableName) and appends it.
  TOvcCommandTable *AddTable(std::unique_ptr<TOvcCommandTable> table);
  // Appends a record to the named table: ETableNotFound when there is no such table, EDuplicateCommand when
  // the table already holds the key sequence.
  void AddCommand(const QString &tableName, const TOvcKeyCommandRec &rec);
  // The first table of that name, ignoring case, or nullptr.
  TOvcCommandTable *GetTableByName(const QString &name) const;
  int TableCount() const { return int(tables_.size()); }
  // The table at Index (ETableNotFound when out of range).
  TOvcCommandTable *Tables(int index) const;
  // Moves a table to another place in the search order.
  void MoveTable(int fromIndex, int toIndex);
  // Frees all tables.
  void Clear();

  // Creates a table from a key-table text file, adds it and returns its index; a file that fails to load
  // leaves the processor unchanged.
  virtual int LoadCommandTable(const QString &fileName);
  // Saves the named table as a text file; nothing happens when there is no table of that name.
  virtual void SaveCommandTable(const QString &tableName, const QString &fileName);

  // Ends any pending sequence (entry fields call it when they receive the focus).
  void ResetCommandProcessor();

  // The command for a key-down message (the virtual key in the low byte of WParam) through the active tables,
  // with the shift keys held as the message was sent.
  TOvcCommandCode Translate(const TMessage &Msg);
  // The same for a virtual key and a shift set (entry fields use it for system keys).
  TOvcCommandCode TranslateKey(WORD Key, TShiftState Shift);
  // The same through the named tables in the given order, active or not (names matching no table are
  // skipped).
  TOvcCommandCode TranslateUsing(const QStringList &TableNames, const TMessage &Msg);
  // What Translate / TranslateUsing would answer, leaving the sequence state as it is: lets a control claim
  // the keys its tables translate before the key reaches it.
  TOvcCommandCode Lookup(const TMessage &Msg) const;
  TOvcCommandCode LookupUsing(const QStringList &TableNames, const TMessage &Msg) const;

  // The command for a key (virtual key) with shift-state bits (ss_Shift, ss_Ctrl, ss_Alt) through the active
  // tables, advancing the sequence state.
  TOvcCommandCode TranslateKeyState(std::uint8_t key, std::uint8_t shift);
  // The same through the named tables in the given order, active or not; names that match no table are
  // skipped.
  TOvcCommandCode TranslateUsingKeyState(const QStringList &tableNames, std::uint8_t key, std::uint8_t shift);
  // What TranslateKeyState would answer, leaving the sequence state as it is: lets a control claim the keys
  // its tables translate before the key reaches it.
  TOvcCommandCode LookupKeyState(std::uint8_t key, std::uint8_t shift) const;
  TOvcCommandCode LookupUsingKeyState(const QStringList &tableNames, std::uint8_t key,
                                      std::uint8_t shift) const;

  // Identifies the control that has the focus, so that a sequence begun in one control does not complete in
  // another. Defaults to the focused Qt widget.
  using FocusOwnerFunction = std::function<const void *()>;
  void SetFocusOwnerFunction(FocusOwnerFunction function);

  // The stored property "TableList" (always written, an empty list too): a list holding each table's
  // "CommandList" content. Reading replaces all tables, and only once the whole list has been read.
  void DefineProperties(TFiler *Filer) override;

  // The name AddTable gives a table of this name. The base is the name without trailing digits; while the
  // base is free the table keeps its own name (or takes the base when its own name is taken); otherwise it is
  // the base followed by 1, 2, ... whichever no table has. The result never equals another table's name.
  QString UniqueTableName(const QString &name) const;

private:
  enum class SequenceState { Idle, FirstKeySeen, LiteralNext };
  struct Outcome {
    TOvcCommandCode code;
    SequenceState state;
    std::uint8_t key;
    std::uint8_t shift;
  };

  std::vector<TOvcCommandTable *> ActiveTables() const;
  std::vector<TOvcCommandTable *> NamedTables(const QStringList &names) const;
  Outcome Evaluate(const std::vector<TOvcCommandTable *> &tables, std::uint8_t key, std::uint8_t shift) const;
  TOvcCommandCode Apply(const Outcome &outcome);

  std::vector<std::unique_ptr<TOvcCommandTable>> tables_;
  SequenceState state_ = SequenceState::Idle;
  std::uint8_t savedKey_ = 0;
  std::uint8_t savedShift_ = 0;
  const void *sequenceOwner_ = nullptr;
  FocusOwnerFunction focusOwner_;
};
