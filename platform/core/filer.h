// The filer: TWriter and TReader write and read the stored ("defined") properties of objects as a tagged
// binary stream in the class library's value-type encoding.
//
// Every value starts with its value-type byte (TValueType):
//   vaNull (0)        end of a list (and of a property list)
//   vaList (1)        start of a list; values follow until vaNull
//   vaInt8 (2)        1 byte, signed     (an integer is written in the smallest
//   vaInt16 (3)       2 bytes, signed     of these three that holds it)
//   vaInt32 (4)       4 bytes, signed
//   vaString (6)      1 length byte, then that many bytes of Windows-1252 text
//   vaLString (12)    int32 length, then that many bytes of Windows-1252 text (longer texts)
//   vaUTF8String (20) int32 length, then that many bytes of UTF-8 (text that Windows-1252 cannot hold)
//   vaWString (18)    int32 count of UTF-16 units, then twice as many bytes (read only)
//   vaFalse (8), vaTrue (9)
//   vaBinary (10)     int32 length, then that many bytes
//   vaNil (13), vaCollection (14)  markers written by WriteValue
// All multi-byte numbers are little-endian. A property name is a short string without a value-type byte: one
// length byte and that many bytes of Windows-1252 text; a property is its name followed by its value(s).
//
// Reading raises EReadError "Invalid property value" when the value found is not of the kind asked for, and
// EReadError "Stream read error" when the stream ends inside a value.
#pragma once
#include "platform/core/object.h"
#include <QString>
#include <functional>
#include <utility>

class TStream;
class TReader;
class TWriter;

enum TValueType : quint8 {
  vaNull = 0,
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaExtended = 5,
  vaString = 6,
  vaIdent = 7,
  vaFalse = 8,
  vaTrue = 9,
  vaBinary = 10,
  vaSet = 11,
  vaLString = 12,
  vaNil = 13,
  vaCollection = 14,
  vaSingle = 15,
  vaCurrency = 16,
  vaDate = 17,
  vaWString = 18,
  vaInt64 = 19,
  vaUTF8String = 20
};

using TReaderProc = std::function<void(TReader *Reader)>;
using TWriterProc = std::function<void(TWriter *Writer)>;
using TStreamProc = std::function<void(TStream *Stream)>;

class TFiler : public TObject {
public:
  // The stream is not owned.
  explicit TFiler(TStream *Stream) : stream_(Stream) {}
  TStream *Stream() const { return stream_; }

  // Called from an object's DefineProperties: a writer writes the property (its name, then whatever WriteData
  // writes) when HasData; a reader that has just read this name calls ReadData to read the value.
  virtual void DefineProperty(const QString &Name, const TReaderProc &ReadData, const TWriterProc &WriteData,
                              bool HasData) = 0;
  // The same for a property held as raw bytes (vaBinary): WriteData fills a stream, ReadData gets a stream
  // holding the bytes, positioned at their start.
  virtual void DefineBinaryProperty(const QString &Name, const TStreamProc &ReadData,
                                    const TStreamProc &WriteData, bool HasData) = 0;

protected:
  TStream *stream_;
};

class TWriter : public TFiler {
public:
  using TFiler::TFiler;
  QString ClassName() const override { return QStringLiteral("TWriter"); }

  void WriteValue(TValueType Value);
  void WriteListBegin() { WriteValue(vaList); }
  void WriteListEnd() { WriteValue(vaNull); }
  void WriteInteger(qint32 Value);
  void WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }
  void WriteString(const QString &Value);
  // A short string: length byte and bytes, no value type. EWriteError when longer than 255 bytes.
  void WriteStr(const QString &Value);
  void WritePropName(const QString &Name) { WriteStr(Name); }

  // Writes every defined property of Instance that has data, then the end-of-list marker.
  void WriteProperties(TPersistent *Instance);

  void DefineProperty(const QString &Name, const TReaderProc &ReadData, const TWriterProc &WriteData,
                      bool HasData) override;
  void DefineBinaryProperty(const QString &Name, const TStreamProc &ReadData, const TStreamProc &WriteData,
                            bool HasData) override;
};

class TReader : public TFiler {
public:
  using TFiler::TFiler;
  QString ClassName() const override { return QStringLiteral("TReader"); }

  TValueType ReadValue();
  // The type of the next value, without reading it.
  TValueType NextValue();
  void ReadListBegin() { CheckValue(vaList); }
  void ReadListEnd() { CheckValue(vaNull); }
  // True when the next value is the end of a list (it is not read).
  bool EndOfList() { return NextValue() == vaNull; }
  qint32 ReadInteger();
  bool ReadBoolean();
  QString ReadString();
  QString ReadStr();
  QString ReadPropName() { return ReadStr(); }

  // Reads properties up to the end-of-list marker (and the marker), handing each to Instance's
  // DefineProperties. A property no definition takes raises EReadError "Property <name> does not exist".
  void ReadProperties(TPersistent *Instance);

  void DefineProperty(const QString &Name, const TReaderProc &ReadData, const TWriterProc &WriteData,
                      bool HasData) override;
  void DefineBinaryProperty(const QString &Name, const TStreamProc &ReadData, const TStreamProc &WriteData,
                            bool HasData) override;

private:
  void CheckValue(TValueType Expected);
  [[noreturn]] static void InvalidValue();
  // The name of the property being read by ReadProperties, until a definition takes it.
  QString pendingName_;
};
