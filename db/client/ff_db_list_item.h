// The chain of components through which an application reaches the in-process engine: a client (bound to a
// server engine), its sessions, their databases (ff_database.h) and their tables (ff_table.h). Each names
// its owner in the chain by name (a session its ClientName, a database its SessionName, a table its
// SessionName and DatabaseName), whatever component owns it; names compare without regard to case.
//
// Opening an item opens its owner first, found by name among the items that exist, and raises
// EffDatabaseError (DBIERR_NOSUCHOWNER) when none has that name. Closing an item closes the items that
// depend on it first. A name or the engine may change only while the item is closed (DBIERR_MUSTBECLOSED).
// Free the server engine after the items that use it.
#pragma once
#include "platform/core/component.h"
#include <QList>
#include <QString>

class TffServerEngine;

class TffDBListItem : public TComponent {
public:
  explicit TffDBListItem(TComponent *AOwner) : TComponent(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TffDBListItem"); }
  // Closes the item (and what depends on it) before it goes.
  void BeforeDestruction() override;

  bool Active() const { return active_; }
  void SetActive(bool Value);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }

protected:
  // Opens the owner (by name), then this item; raises when either cannot open.
  virtual void OpenItem() = 0;
  // Closes the items that depend on this one, then releases this one.
  virtual void CloseItem() = 0;
  // Raises DBIERR_MUSTBECLOSED "Cannot perform this operation on an open <kind>" while active.
  void CheckInactive(const QString &Kind) const;

private:
  bool active_ = false;
};

class TffClient : public TffDBListItem {
public:
  explicit TffClient(TComponent *AOwner);
  ~TffClient() override;
  QString ClassName() const override { return QStringLiteral("TffClient"); }

  QString ClientName() const { return clientName_; }
  void SetClientName(const QString &Value);
  TffServerEngine *ServerEngine() const { return serverEngine_; }
  void SetServerEngine(TffServerEngine *Value);

  // The client of that name, nullptr when none.
  static TffClient *Find(const QString &ClientName);

protected:
  // DBIERR_NOSERVERENGINE without a server engine.
  void OpenItem() override;
  void CloseItem() override;

private:
  QString clientName_;
  TffServerEngine *serverEngine_ = nullptr;
};

class TffSession : public TffDBListItem {
public:
  explicit TffSession(TComponent *AOwner);
  ~TffSession() override;
  QString ClassName() const override { return QStringLiteral("TffSession"); }

  QString ClientName() const { return clientName_; }
  void SetClientName(const QString &Value);
  QString SessionName() const { return sessionName_; }
  void SetSessionName(const QString &Value);
  // The client the session opened through; nullptr while closed.
  TffClient *Client() const { return client_; }
  TffServerEngine *ServerEngine() const { return client_ ? client_->ServerEngine() : nullptr; }

  static TffSession *Find(const QString &SessionName);

protected:
  void OpenItem() override;
  void CloseItem() override;

private:
  QString clientName_;
  QString sessionName_;
  TffClient *client_ = nullptr;
};
