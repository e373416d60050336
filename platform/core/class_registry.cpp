#include "platform/core/class_registry.h"
#include <map>
#include <memory>

namespace {

// Keyed by the case-folded name.
std::map<QString, std::unique_ptr<TPersistentClass>> &Registry() {
  static std::map<QString, std::unique_ptr<TPersistentClass>> registry;
  return registry;
}

QString Key(const QString &Name) { return Name.toCaseFolded(); }

} // namespace

void RegisterClassFactory(const QString &Name, std::type_index Type, TPersistentClass::Factory Make) {
  auto &registry = Registry();
  const auto found = registry.find(Key(Name));
  if (found != registry.end()) {
    if (found->second->Type() == Type) return;
    throw EFilerError(QStringLiteral("A class named %1 already exists").arg(Name));
  }
  registry.emplace(Key(Name), std::make_unique<TPersistentClass>(Name, Type, std::move(Make)));
}

void UnRegisterClass(const QString &Name) { Registry().erase(Key(Name)); }

const TPersistentClass *GetClass(const QString &Name) {
  const auto found = Registry().find(Key(Name));
  return found == Registry().end() ? nullptr : found->second.get();
}

const TPersistentClass &FindClass(const QString &Name) {
  if (const TPersistentClass *c = GetClass(Name)) return *c;
  throw EClassNotFound(QStringLiteral("Class %1 not found").arg(Name));
}
