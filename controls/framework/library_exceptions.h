// The control library's exception family. Each class carries only its message; the constructors without an
// argument take their text from the numbered messages.
#pragma once
#include "controls/framework/entry_data_type.h"
#include "platform/core/exceptions.h"

TALLYROOK_EXCEPTION(EOvcException, Exception)

class ENoTimersAvailable : public EOvcException {
public:
  ENoTimersAvailable();
  QString ClassName() const override { return QStringLiteral("ENoTimersAvailable"); }
};

TALLYROOK_EXCEPTION(ECmdProcessorError, EOvcException)

class EDuplicateCommand : public ECmdProcessorError {
public:
  EDuplicateCommand();
  QString ClassName() const override { return QStringLiteral("EDuplicateCommand"); }
};

class ETableNotFound : public ECmdProcessorError {
public:
  ETableNotFound();
  QString ClassName() const override { return QStringLiteral("ETableNotFound"); }
};

TALLYROOK_EXCEPTION(EEntryFieldError, EOvcException)

class EInvalidDataType : public EEntryFieldError {
public:
  EInvalidDataType();
  QString ClassName() const override { return QStringLiteral("EInvalidDataType"); }
};

class EInvalidPictureMask : public EEntryFieldError {
public:
  explicit EInvalidPictureMask(const QString &mask);
  QString ClassName() const override { return QStringLiteral("EInvalidPictureMask"); }
};

// Raised when a range text does not convert for the data type; the message names the type's limits (for dates
// and times, the international mask to use).
class EInvalidRangeValue : public EEntryFieldError {
public:
  explicit EInvalidRangeValue(TOvcEfDataType dataType);
  QString ClassName() const override { return QStringLiteral("EInvalidRangeValue"); }
};

TALLYROOK_EXCEPTION(EInvalidDateForMask, EEntryFieldError)
