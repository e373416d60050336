// The database library's exception family. Every exception carries the numeric error code it was raised
// for and a user-readable message: the storage layer raises EffException with its own numbered texts, and
// the client library turns a failing engine result into EffDatabaseError. The family belongs to the class
// library's database errors (EDatabaseError), so that a handler of those sees the engine's errors too.
#pragma once
#include "platform/core/exceptions.h"
#include <QString>
#include <QVariant>
#include <initializer_list>

class EffException : public EDatabaseError {
public:
  EffException(int errorCode, const QString &message) : EDatabaseError(message), errorCode_(errorCode) {}

  int ErrorCode() const { return errorCode_; }
  QString ClassName() const override { return QStringLiteral("EffException"); }

private:
  int errorCode_;
};

#define TALLYROOK_FF_EXCEPTION(Name, Base)                                                                   \
  class Name : public Base {                                                                                 \
  public:                                                                                                    \
    using Base::Base;                                                                                        \
    QString ClassName() const override { return QStringLiteral(#Name); }                                     \
  };

TALLYROOK_FF_EXCEPTION(EffCommsException, EffException)
TALLYROOK_FF_EXCEPTION(EffServerException, EffException)
TALLYROOK_FF_EXCEPTION(EffClientException, EffException)
// Raised by the client library for a failing engine result; the message is the result's text.
TALLYROOK_FF_EXCEPTION(EffDatabaseError, EffException)

#undef TALLYROOK_FF_EXCEPTION

// Error numbers of the storage layer (the data dictionary).
enum : int {
  fferrBadFieldNumber = 320, // field, index or file number out of range
  fferrDictReadOnly = 328,
  fferrBadBlockSize = 339,
  fferrDupFieldName = 341,
  fferrDupIndexName = 342,
  fferrNoSuchFieldName = 343,
  fferrBadName = 344,
  fferrIndexNoFields = 345,
  fferrDictCorrupt = 346,
};

// The format text of a storage error: "%s" and "%d" mark the places of its arguments.
QString ffStorageErrorFormat(int errorCode);

// Fills the %s and %d places of a format text with the arguments, in order.
QString ffFormatError(const QString &format, std::initializer_list<QVariant> args);

// Raises EffException with the storage error's text, its places filled with the arguments.
[[noreturn]] void ffRaiseStorageError(int errorCode, std::initializer_list<QVariant> args);
