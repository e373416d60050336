// The exception family of the class library: every error carries a user-readable message. EAbort is the
// silent exception: handlers that show errors to the user ignore it.
#pragma once
#include <QByteArray>
#include <QString>
#include <exception>

class Exception : public std::exception {
public:
  explicit Exception(const QString &message) : message_(message), utf8_(message.toUtf8()) {}
  ~Exception() override = default;

  const QString &Message() const { return message_; }
  void SetMessage(const QString &message) {
    message_ = message;
    utf8_ = message.toUtf8();
  }
  const char *what() const noexcept override { return utf8_.constData(); }
  virtual QString ClassName() const { return QStringLiteral("Exception"); }

private:
  QString message_;
  QByteArray utf8_;
};

// Declares an exception class that takes its message as given and reports its own class name.
#define TALLYROOK_EXCEPTION(Name, Base)                                                                      \
  class Name : public Base {                                                                                 \
  public:                                                                                                    \
    using Base::Base;                                                                                        \
    QString ClassName() const override { return QStringLiteral(#Name); }                                     \
  };

TALLYROOK_EXCEPTION(EAbort, Exception)
TALLYROOK_EXCEPTION(EConvertError, Exception)
TALLYROOK_EXCEPTION(EVariantError, Exception)
TALLYROOK_EXCEPTION(EVariantTypeCastError, EVariantError)
TALLYROOK_EXCEPTION(EMathError, Exception)
TALLYROOK_EXCEPTION(EZeroDivide, EMathError)
TALLYROOK_EXCEPTION(EOverflow, EMathError)
TALLYROOK_EXCEPTION(EIntError, Exception)
TALLYROOK_EXCEPTION(ERangeError, EIntError)
TALLYROOK_EXCEPTION(EInOutError, Exception)
TALLYROOK_EXCEPTION(EStreamError, Exception)
TALLYROOK_EXCEPTION(EReadError, EStreamError)
TALLYROOK_EXCEPTION(EWriteError, EStreamError)
TALLYROOK_EXCEPTION(EFOpenError, EStreamError)
TALLYROOK_EXCEPTION(EFCreateError, EStreamError)
TALLYROOK_EXCEPTION(EFilerError, EStreamError)
TALLYROOK_EXCEPTION(EClassNotFound, EFilerError)
TALLYROOK_EXCEPTION(EComponentError, Exception)
TALLYROOK_EXCEPTION(EListError, Exception)
TALLYROOK_EXCEPTION(EStringListError, Exception)
TALLYROOK_EXCEPTION(EInvalidOperation, Exception)
TALLYROOK_EXCEPTION(EInvalidGraphic, Exception)
TALLYROOK_EXCEPTION(EInvalidGraphicOperation, Exception)
TALLYROOK_EXCEPTION(EOutOfResources, Exception)
TALLYROOK_EXCEPTION(EPrinter, Exception)
TALLYROOK_EXCEPTION(EDatabaseError, Exception)

// Raises the silent exception, which stops the current operation without a message.
[[noreturn]] inline void Abort() { throw EAbort(QStringLiteral("Operation aborted")); }
