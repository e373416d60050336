#include "db/client/ff_db_list_item.h"
#include "db/client/ff_client_errors.h"
#include "db/client/ff_database.h"

namespace {

QList<TffClient *> &Clients() {
  static QList<TffClient *> clients;
  return clients;
}

QList<TffSession *> &Sessions() {
  static QList<TffSession *> sessions;
  return sessions;
}

bool SameName(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

} // namespace

// ---- TffDBListItem ----

void TffDBListItem::BeforeDestruction() {
  try {
    Close();
  } catch (...) { // the item goes away whatever the engine answers
  }
  TComponent::BeforeDestruction();
}

void TffDBListItem::SetActive(bool Value) {
  if (Value == active_) return;
  if (Value) {
    OpenItem();
    active_ = true;
  } else {
    active_ = false;
    CloseItem();
  }
}

void TffDBListItem::CheckInactive(const QString &Kind) const {
  if (active_)
    ffRaiseClientError(DBIERR_MUSTBECLOSED,
                       QStringLiteral("Cannot perform this operation on an open %1").arg(Kind));
}

// ---- TffClient ----

TffClient::TffClient(TComponent *AOwner) : TffDBListItem(AOwner) { Clients().append(this); }

TffClient::~TffClient() { Clients().removeAll(this); }

void TffClient::SetClientName(const QString &Value) {
  CheckInactive(QStringLiteral("client"));
  clientName_ = Value;
}

void TffClient::SetServerEngine(TffServerEngine *Value) {
  CheckInactive(QStringLiteral("client"));
  serverEngine_ = Value;
}

TffClient *TffClient::Find(const QString &ClientName) {
  for (TffClient *client : Clients())
    if (SameName(client->clientName_, ClientName)) return client;
  return nullptr;
}

void TffClient::OpenItem() {
  if (!serverEngine_)
    ffRaiseClientError(DBIERR_NOSERVERENGINE,
                       QStringLiteral("Client \"%1\" has no server engine").arg(clientName_));
}

void TffClient::CloseItem() {
  for (TffSession *session : QList<TffSession *>(Sessions()))
    if (session->Client() == this) session->Close();
}

// ---- TffSession ----

TffSession::TffSession(TComponent *AOwner) : TffDBListItem(AOwner) { Sessions().append(this); }

TffSession::~TffSession() { Sessions().removeAll(this); }

void TffSession::SetClientName(const QString &Value) {
  CheckInactive(QStringLiteral("session"));
  clientName_ = Value;
}

void TffSession::SetSessionName(const QString &Value) {
  CheckInactive(QStringLiteral("session"));
  sessionName_ = Value;
}

TffSession *TffSession::Find(const QString &SessionName) {
  for (TffSession *session : Sessions())
    if (SameName(session->sessionName_, SessionName)) return session;
  return nullptr;
}

void TffSession::OpenItem() {
  TffClient *client = TffClient::Find(clientName_);
  if (!client)
    ffRaiseClientError(DBIERR_NOSUCHOWNER, QStringLiteral("No client named \"%1\" exists").arg(clientName_));
  client->Open();
  client_ = client;
}

void TffSession::CloseItem() {
  for (TffDatabase *database : TffDatabase::Instances())
    if (database->Session() == this) database->Close();
  client_ = nullptr;
}
