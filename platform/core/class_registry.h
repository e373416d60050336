// The class registry: classes registered by name so that stored data can name a class and get a new
// instance of it (streamed components, report objects named by class).
//
// Names are compared without regard to case. A class is registered once: registering the same C++ class
// under its name again does nothing, another class under a taken name raises EFilerError "A class named
// <name> already exists". FindClass raises EClassNotFound "Class <name> not found"; GetClass answers nullptr.
#pragma once
#include "platform/core/object.h"
#include <QString>
#include <functional>
#include <type_traits>
#include <typeindex>
#include <typeinfo>

class TComponent;

// A registered class: its name and a way to make an instance.
class TPersistentClass {
public:
  using Factory = std::function<TPersistent *(TComponent *Owner)>;
  TPersistentClass(QString Name, std::type_index Type, Factory Make)
      : name_(std::move(Name)), type_(Type), make_(std::move(Make)) {}

  const QString &ClassName() const { return name_; }
  std::type_index Type() const { return type_; }
  // A new instance; components are created with Owner, other classes ignore it.
  TPersistent *Create(TComponent *Owner = nullptr) const { return make_(Owner); }

private:
  QString name_;
  std::type_index type_;
  Factory make_;
};

void RegisterClassFactory(const QString &Name, std::type_index Type, TPersistentClass::Factory Make);

// Registers T under Name. T is made with `new T(Owner)` when it takes an owner, else with `new T()`.
template <typename T>
void RegisterClass(const QString &Name) {
  static_assert(std::is_base_of_v<TPersistent, T>, "only persistent classes are registered");
  RegisterClassFactory(Name, std::type_index(typeid(T)), [](TComponent *Owner) -> TPersistent * {
    if constexpr (std::is_constructible_v<T, TComponent *>)
      return new T(Owner);
    else
      return new T();
  });
}

// Removes the class registered under Name (nothing when there is none).
void UnRegisterClass(const QString &Name);
const TPersistentClass *GetClass(const QString &Name);
const TPersistentClass &FindClass(const QString &Name);
