// TComponent: the owned, named, notified objects that forms, controls, datasets and report parts are made of.
//
// Ownership: a component created with an owner is inserted into the owner's ordered Components list, and the
// owner frees it when the owner itself is freed (the last created first). Owner (who frees) is independent of
// anything else a descendant adds, such as a control's Parent.
//
// Releasing: call Free() (or FreeAndNil). Free runs the virtual before-destruction steps while the whole
// object is still alive, then deletes it:
//   1. Destroying(): csDestroying is set on this component and, recursively, on everything it owns;
//   2. every component linked by FreeNotification receives Notification(this, opRemove);
//   3. owned components are freed, the last created first;
//   4. the owner removes this component, which sends Notification(this, opRemove) to the owner and, through
//      the owner's Notification, to every component the owner owns.
// Descendants that must act before any of that override BeforeDestruction() and call the inherited one last.
// Their destructors therefore run after their owned components are gone; a descendant keeps no pointer to an
// owned component past its opRemove notice.
// `delete` on a component is also safe: ~TComponent performs the same steps for whatever Free has not done,
// but by then the descendant's part of the object is gone, so its overrides are not reached.
//
// Notifications: Notification(AComponent, Operation) is virtual; the base implementation forgets a free
// notification link to a removed component and passes the notice on to every owned component. Insertion into
// an owner sends opInsert the same way. Note for receivers of opInsert: when a component is inserted by its
// own constructor (TComponent(AOwner)), the notice is sent before the descendant's constructor has run, so a
// receiver may compare or store the pointer but cannot tell the descendant class (dynamic_cast answers
// TComponent). Code that needs receivers to see the full class creates the component without owner and then
// calls Owner->InsertComponent(component).
#pragma once
#include "platform/core/object.h"
#include <QList>
#include <QString>
#include <cstdint>
#include <initializer_list>

class TComponent;

enum TOperation { opInsert, opRemove };

// The class library's component state flags.
enum TComponentStateFlag {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,
  csAncestor,
  csUpdating,
  csFixups,
  csFreeNotification,
  csInline,
  csDesignInstance
};

// A set of TComponentStateFlag.
class TComponentState {
public:
  TComponentState() = default;
  TComponentState(std::initializer_list<TComponentStateFlag> flags) {
    for (TComponentStateFlag f : flags) Include(f);
  }
  bool Contains(TComponentStateFlag flag) const { return (bits_ & Bit(flag)) != 0; }
  void Include(TComponentStateFlag flag) { bits_ |= Bit(flag); }
  void Exclude(TComponentStateFlag flag) { bits_ &= ~Bit(flag); }
  bool Empty() const { return bits_ == 0; }
  bool operator==(const TComponentState &other) const = default;

private:
  static std::uint32_t Bit(TComponentStateFlag flag) { return std::uint32_t(1) << unsigned(flag); }
  std::uint32_t bits_ = 0;
};

// True when Name is a valid Pascal identifier: a letter or '_' followed by letters, digits or '_' (ASCII).
bool IsValidIdent(const QString &Name);

class TComponent : public TPersistent {
public:
  explicit TComponent(TComponent *AOwner);
  ~TComponent() override;
  QString ClassName() const override { return QStringLiteral("TComponent"); }

  // Releases this component: the before-destruction steps, then delete (see the top of this file).
  void Free();
  // The virtual steps Free runs before deleting. Overrides call the inherited one at their end.
  virtual void BeforeDestruction();
  // Marks this component and everything it owns as being destroyed (csDestroying).
  virtual void Destroying();

  // Ownership.
  TComponent *Owner() const { return owner_; }
  int ComponentCount() const { return int(components_.size()); }
  // The I-th owned component in insertion order; EListError "List index out of bounds (I)" otherwise.
  TComponent *Components(int I) const;
  // The index of this component in its owner's list, -1 without owner.
  int ComponentIndex() const;
  void SetComponentIndex(int Value);
  // Moves AComponent from its current owner (if any) into this one; its name must be unique here.
  void InsertComponent(TComponent *AComponent);
  void RemoveComponent(TComponent *AComponent);
  // Frees every owned component, the last created first.
  void DestroyComponents();
  // The owned component named Name (case-insensitive), nullptr when none or when Name is empty.
  TComponent *FindComponent(const QString &Name) const;

  // Naming.
  QString Name() const { return name_; }
  // Empty, or a valid identifier unique among the owner's components (case-insensitive); EComponentError
  // otherwise. Virtual so that descendants can react to a rename (controls repaint).
  virtual void SetName(const QString &NewName);

  int Tag() const { return tag_; }
  void SetTag(int Value) { tag_ = Value; }

  // State.
  TComponentState ComponentState() const { return state_; }
  // Sets or clears csDesigning on this component and, when IncludeSubComponents, on everything it owns.
  void SetDesigning(bool Value, bool IncludeSubComponents = true);
  // Stream loading of a component tree built in code: BeginLoading sets csLoading and csReading on this
  // component and all it owns; EndLoading clears csReading and calls Loaded on this component and then on
  // every owned one (depth first, in component order), as a reader does after reading a form.
  void BeginLoading();
  void EndLoading();
  // Called when loading has finished; the base clears csLoading. Overrides call the inherited one first.
  virtual void Loaded();

  // Links this component and AComponent, whatever their owners: AComponent receives Notification(this,
  // opRemove) when this component is freed, and this one hears of AComponent's release the same way. The
  // link is dropped by either side's removal notice or by RemoveFreeNotification.
  void FreeNotification(TComponent *AComponent);
  void RemoveFreeNotification(TComponent *AComponent);

  // Tells this component that AComponent is being inserted (opInsert) or removed (opRemove), as described at
  // the top of this file. Overrides call the inherited one, which passes the notice on to owned components.
  virtual void Notification(TComponent *AComponent, TOperation Operation);

protected:
  // Raises EComponentError when NewName may not replace CurName for AComponent among this owner's components.
  virtual void ValidateRename(TComponent *AComponent, const QString &CurName, const QString &NewName) const;
  // Sets or clears a state flag on this component only.
  void SetComponentStateFlag(TComponentStateFlag flag, bool on);

private:
  void Insert(TComponent *AComponent);
  void Remove(TComponent *AComponent);
  void RemoveFreeNotifications();
  void ClearReading();
  void CallLoaded();

  TComponent *owner_ = nullptr;
  QList<TComponent *> components_;
  QList<TComponent *> freeNotifies_;
  QString name_;
  int tag_ = 0;
  TComponentState state_;
  bool freeing_ = false;
};

// Frees an object the proper way (Free() for a component, delete otherwise) and sets the pointer to nullptr
// first, so that nothing reached during the release sees a half-freed object through it. nullptr: no-op.
void FreeObject(TObject *Object);

template <typename T>
void FreeAndNil(T *&Object) {
  T *doomed = Object;
  Object = nullptr;
  FreeObject(doomed);
}
