// The roots of the class hierarchy: TObject (every class-library object) and TPersistent (objects that can
// copy themselves from another through Assign).
#pragma once
#include "platform/core/exceptions.h"
#include <QString>

class TFiler;

class TObject {
public:
  TObject() = default;
  TObject(const TObject &) = delete;
  TObject &operator=(const TObject &) = delete;
  virtual ~TObject() = default;

  // The class name as the class library reports it ("TComponent", "TFont", ...).
  virtual QString ClassName() const { return QStringLiteral("TObject"); }
};

class TPersistent : public TObject {
public:
  QString ClassName() const override { return QStringLiteral("TPersistent"); }

  // Copies Source into this object. The default asks Source to AssignTo this; when neither knows the other,
  // EConvertError "Cannot assign a <source> to a <dest>" is raised, as the class library does.
  virtual void Assign(const TPersistent *source) {
    if (source) {
      source->AssignTo(this);
      return;
    }
    AssignError(nullptr);
  }

  // Declares the stored properties beyond the published ones, each with its reader and writer (see filer.h).
  virtual void DefineProperties(TFiler *Filer) {}

protected:
  virtual void AssignTo(TPersistent *dest) const { dest->AssignError(this); }
  void AssignError(const TPersistent *source) const {
    const QString from = source ? source->ClassName() : QStringLiteral("nil");
    throw EConvertError(QStringLiteral("Cannot assign a %1 to a %2").arg(from, ClassName()));
  }
};
