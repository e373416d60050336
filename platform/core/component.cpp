#include "platform/core/component.h"
#include <algorithm>
#include <utility>

bool IsValidIdent(const QString &Name) {
  if (Name.isEmpty()) return false;
  auto alpha = [](QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_'; };
  if (!alpha(Name[0])) return false;
  for (QChar c : Name)
    if (!alpha(c) && !(c >= u'0' && c <= u'9')) return false;
  return true;
}

TComponent::TComponent(TComponent *AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  // Whatever Free has not done yet (a plain delete): the same steps, reaching only the base class now.
  TComponent::Destroying();
  RemoveFreeNotifications();
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::Free() {
  if (freeing_) return; // freed again from inside its own release: the outer call finishes the job
  freeing_ = true;
  BeforeDestruction();
  delete this;
}

void TComponent::BeforeDestruction() {
  Destroying();
  RemoveFreeNotifications();
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_.Include(csDestroying);
  for (TComponent *c : std::as_const(components_)) c->Destroying();
}

TComponent *TComponent::Components(int I) const {
  if (I < 0 || I >= components_.size())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(I));
  return components_[I];
}

int TComponent::ComponentIndex() const { return owner_ ? int(owner_->components_.indexOf(this)) : -1; }

void TComponent::SetComponentIndex(int Value) {
  if (!owner_) return;
  const int current = ComponentIndex();
  const int last = int(owner_->components_.size()) - 1;
  const int target = std::clamp(Value, 0, last);
  if (current != target) owner_->components_.move(current, target);
}

static bool Owns(const TComponent *owner, const TComponent *candidate) {
  for (const TComponent *o = candidate; o; o = o->Owner())
    if (o == owner) return true;
  return false;
}

void TComponent::InsertComponent(TComponent *AComponent) {
  if (!AComponent) return;
  // An ownership cycle would never be freed (or free itself twice): refuse it.
  if (Owns(AComponent, this))
    throw EComponentError(QStringLiteral("A component cannot own itself or its owner"));
  ValidateRename(AComponent, QString(), AComponent->name_);
  if (AComponent->owner_) AComponent->owner_->RemoveComponent(AComponent);
  Insert(AComponent);
  if (state_.Contains(csDesigning)) AComponent->SetDesigning(true);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent *AComponent) {
  if (!AComponent || AComponent->owner_ != this) return;
  Notification(AComponent, opRemove);
  Remove(AComponent);
}

void TComponent::Insert(TComponent *AComponent) {
  components_.append(AComponent);
  AComponent->owner_ = this;
}

void TComponent::Remove(TComponent *AComponent) {
  components_.removeOne(AComponent);
  AComponent->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
  while (!components_.isEmpty()) {
    TComponent *last = components_.last();
    last->Free(); // removes itself from this list, telling this component and the remaining ones
    // A component that is already being released elsewhere stays in the list until that finishes; take it
    // out here so that the loop ends.
    if (!components_.isEmpty() && components_.last() == last) Remove(last);
  }
}

TComponent *TComponent::FindComponent(const QString &Name) const {
  if (Name.isEmpty()) return nullptr;
  for (TComponent *c : components_)
    if (c->name_.compare(Name, Qt::CaseInsensitive) == 0) return c;
  return nullptr;
}

void TComponent::SetName(const QString &NewName) {
  if (name_ == NewName) return;
  if (!NewName.isEmpty() && !IsValidIdent(NewName))
    throw EComponentError(QStringLiteral("'%1' is not a valid component name").arg(NewName));
  if (owner_)
    owner_->ValidateRename(this, name_, NewName);
  else
    ValidateRename(nullptr, name_, NewName);
  name_ = NewName;
}

void TComponent::ValidateRename(TComponent *AComponent, const QString &CurName,
                                const QString &NewName) const {
  if (!AComponent || NewName.isEmpty() || CurName.compare(NewName, Qt::CaseInsensitive) == 0) return;
  const TComponent *existing = FindComponent(NewName);
  if (existing && existing != AComponent)
    throw EComponentError(QStringLiteral("A component named %1 already exists").arg(NewName));
}

void TComponent::SetComponentStateFlag(TComponentStateFlag flag, bool on) {
  if (on)
    state_.Include(flag);
  else
    state_.Exclude(flag);
}

void TComponent::SetDesigning(bool Value, bool IncludeSubComponents) {
  SetComponentStateFlag(csDesigning, Value);
  if (IncludeSubComponents)
    for (TComponent *c : std::as_const(components_)) c->SetDesigning(Value, true);
}

void TComponent::BeginLoading() {
  state_.Include(csLoading);
  state_.Include(csReading);
  for (TComponent *c : std::as_const(components_)) c->BeginLoading();
}

void TComponent::EndLoading() {
  ClearReading();
  CallLoaded();
}

void TComponent::ClearReading() {
  state_.Exclude(csReading);
  for (TComponent *c : std::as_const(components_)) c->ClearReading();
}

void TComponent::CallLoaded() {
  if (state_.Contains(csLoading)) Loaded();
  // Loaded may create or free components: walk a snapshot and skip those that left.
  const QList<TComponent *> owned = components_;
  for (TComponent *c : owned)
    if (components_.contains(c)) c->CallLoaded();
}

void TComponent::Loaded() { state_.Exclude(csLoading); }

void TComponent::FreeNotification(TComponent *AComponent) {
  if (!AComponent || AComponent == this) return;
  if (!freeNotifies_.contains(AComponent)) freeNotifies_.append(AComponent);
  if (!AComponent->freeNotifies_.contains(this)) AComponent->freeNotifies_.append(this);
  state_.Include(csFreeNotification);
  AComponent->state_.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent *AComponent) {
  if (!AComponent) return;
  freeNotifies_.removeAll(AComponent);
  AComponent->freeNotifies_.removeAll(this);
}

void TComponent::RemoveFreeNotifications() {
  // Each link is dropped on both sides before its notice goes out, so the loop ends even when a receiver
  // does not call the inherited Notification.
  while (!freeNotifies_.isEmpty()) {
    TComponent *client = freeNotifies_.takeLast();
    client->freeNotifies_.removeAll(this);
    client->Notification(this, opRemove);
  }
}

void TComponent::Notification(TComponent *AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
  // The list may change under a receiver (it may free components): walk down from the end and re-clamp.
  qsizetype i = components_.size() - 1;
  while (i >= 0) {
    components_[i]->Notification(AComponent, Operation);
    --i;
    if (i >= components_.size()) i = components_.size() - 1;
  }
}

void FreeObject(TObject *Object) {
  if (!Object) return;
  if (auto *component = dynamic_cast<TComponent *>(Object))
    component->Free();
  else
    delete Object;
}
