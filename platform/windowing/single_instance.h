// Keeps a second copy of the program from running. The guard is named after the application's title: the
// first copy holds a lock file and listens on a local socket of that name; a later copy finds the lock taken
// at once, and can ask the first copy (through the socket) to come forward.
//
// A guard that cannot be set up (no room for the lock file, no permission) says so: it is not taken for
// another copy running, so the program is not turned away for a fault of its own.
#pragma once
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
class QLockFile;

// The user's runtime folder: the one the session provides ($XDG_RUNTIME_DIR); without one, a folder of the
// user's own in the temporary folder that only the user may enter. Empty when that cannot be had.
QString UserRuntimeFolder();

// Names the user's runtime folder in $XDG_RUNTIME_DIR where the session left it unset, so that Qt, which
// looks there while the application starts, finds one without a warning. Called before the QApplication is
// made.
void NameUserRuntimeFolder();

class TSingleInstanceGuard {
public:
  enum class TState {
    NotAcquired, // Acquire has not run
    First,       // this is the only copy; it listens for requests to come forward
    Second,      // another copy holds the guard
    Failed,      // the guard could not be set up (ErrorString says why)
  };

  // Directory: where the lock file and the socket live (empty: the user's runtime directory, or without one
  // a folder of the user's own in the temporary folder).
  explicit TSingleInstanceGuard(const QString &Title, const QString &Directory = QString());
  ~TSingleInstanceGuard();
  TSingleInstanceGuard(const TSingleInstanceGuard &) = delete;
  TSingleInstanceGuard &operator=(const TSingleInstanceGuard &) = delete;

  TState Acquire();
  TState State() const { return state_; }
  QString ErrorString() const { return error_; }
  // In a second copy: asks the first to come forward; true when the request was delivered.
  bool AskFirstToComeForward();
  // Lets go of the guard (the destructor does this too).
  void Release();

  // In the first copy: runs when a later copy asks it to come forward (from Qt's event loop).
  std::function<void()> OnComeForward;

  QString LockFileName() const { return lockPath_; }
  QString ServerName() const { return serverName_; }

private:
  void AcceptConnections();

  TState state_ = TState::NotAcquired;
  QString error_;
  QString lockPath_;
  QString serverName_;
  std::unique_ptr<QLockFile> lock_;
  std::unique_ptr<QLocalServer> server_;
};
