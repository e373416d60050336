// The input of the control-library fuzz target (control_inputs_fuzzer.cpp), shared with the test that runs
// its corpus in the normal build. The first byte chooses what the rest is read as:
//   0  a key-table text file, loaded into a command processor;
//   1  a stored command processor (its "TableList" property);
//   2  an edit mask, then after the first line break a text to show in it.
// Refusing the input with an exception of the library is a normal outcome; a crash, a hang, a sanitizer
// report or a broken rule below is a fault.
#pragma once
#include "controls/framework/command_processor.h"
#include "platform/core/streams.h"
#include "platform/widgets/std_edits.h"
#include "platform/windowing/forms.h"
#include "tests/fuzz/fuzz_require.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace fuzz {

inline bool SameTables(const TOvcCommandProcessor &a, const TOvcCommandProcessor &b) {
  if (a.TableCount() != b.TableCount()) return false;
  for (int i = 0; i < a.TableCount(); ++i)
    if (a.Tables(i)->TableName() != b.Tables(i)->TableName() ||
        a.Tables(i)->IsActive() != b.Tables(i)->IsActive() ||
        a.Tables(i)->Records() != b.Tables(i)->Records())
      return false;
  return true;
}

// Every key with every shift state through the active tables: whatever the tables hold, translating answers.
inline void TranslateEveryKey(TOvcCommandProcessor &processor) {
  processor.SetFocusOwnerFunction([] { return static_cast<const void *>(nullptr); });
  for (int shift = 0; shift < 8; ++shift)
    for (int key = 1; key < 256; key += 7)
      processor.TranslateKeyState(std::uint8_t(key), std::uint8_t(shift));
}

inline void RunKeyTableFile(const QByteArray &bytes) {
  static QTemporaryDir folder;
  const QString input = folder.filePath(QStringLiteral("input.kt"));
  const QString output = folder.filePath(QStringLiteral("output.kt"));
  QFile file(input);
  Require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
          "the input file is written");
  file.close();
  TOvcCommandProcessor processor;
  int index = -1;
  try {
    index = processor.LoadCommandTable(input);
  } catch (const EInOutError &) {
    Require(processor.TableCount() == 3, "a file that fails to load adds no table");
    return;
  }
  TOvcCommandTable *table = processor.Tables(index);
  table->SaveToFile(output);
  TOvcCommandTable again;
  again.LoadFromFile(output);
  Require(again.TableName() == table->TableName() && again.Records() == table->Records(),
          "a saved key table loads back the same");
  table->SetIsActive(true);
  TranslateEveryKey(processor);
}

inline QByteArray Written(TPersistent *object) {
  TMemoryStream stream;
  TWriter writer(&stream);
  writer.WriteProperties(object);
  return stream.Bytes();
}

inline void RunStoredCommandList(const QByteArray &bytes) {
  TOvcCommandProcessor processor;
  try {
    TMemoryStream stream(bytes);
    TReader reader(&stream);
    reader.ReadProperties(&processor);
  } catch (const Exception &) {
    return;
  }
  const QByteArray written = Written(&processor);
  TOvcCommandProcessor again;
  TMemoryStream stream(written);
  TReader reader(&stream);
  reader.ReadProperties(&again);
  Require(SameTables(processor, again), "stored tables load back the same");
  Require(Written(&again) == written, "stored tables write the same bytes again");
  TranslateEveryKey(processor);
}

inline void RunEditMask(const QByteArray &bytes) {
  const QString input = QString::fromUtf8(bytes);
  const QString mask = input.section(QLatin1Char('\n'), 0, 0);
  const QString value = input.section(QLatin1Char('\n'), 1);
  TEditMask parsed;
  try {
    parsed = TEditMask(mask, QLatin1Char('/'), QLatin1Char(':'));
  } catch (const EInvalidOperation &) {
    return;
  }
  const QString editText = parsed.EditTextFor(value);
  // A mask without positions ("!" alone) leaves the edit unmasked.
  Require(parsed.IsEmpty() || editText.size() == parsed.Length(),
          "the edit text has one character per position");
  Require(parsed.TextOf(editText).size() <= editText.size(), "the text of an edit text is no longer");

  TForm *form = TCustomForm::Create<TForm>(nullptr);
  auto *edit = new TMaskEdit(form);
  edit->SetParent(form);
  edit->Handle();
  try {
    edit->SetEditMask(mask);
    edit->SetText(value);
    Require(!edit->IsMasked() || edit->EditText().size() == edit->Mask().Length(),
            "the edit shows the mask it was given");
    edit->SetEditText(edit->EditText());
  } catch (const EInvalidOperation &) {
    // the regional separators of this process make the mask one that cannot be shown
  }
  form->Free();
  // The widgets go once the posted deletions are delivered; without an event loop that is now.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline int RunControlInput(const uint8_t *data, size_t size) {
  if (size == 0) return 0;
  const QByteArray rest(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
  switch (data[0] % 3) {
  case 0: RunKeyTableFile(rest); break;
  case 1: RunStoredCommandList(rest); break;
  default: RunEditMask(rest); break;
  }
  return 0;
}

} // namespace fuzz
