// A drag loop for tests, in place of the system's: the mouse moves through screen points with the left button
// held and is released at the last one. As the system does, each point's drag event goes to the widget under
// it that takes drops (a drag enter and a move on reaching a widget, a leave on going off it) and the release
// drops on the widget under the last point, as Qt's own loop does. The drag's answer is the drop's action, or
// none when the widget refused it.
#pragma once
#include "platform/windowing/drag_drop.h"
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QList>
#include <QPointer>
#include <QWidget>

class ScopedDragScript {
public:
  explicit ScopedDragScript(QList<QPoint> Path)
      : path_(std::move(Path)), previous_(SetDragLoop([this](QDrag *Drag) { return Run(Drag); })) {}
  ~ScopedDragScript() { SetDragLoop(previous_); }
  ScopedDragScript(const ScopedDragScript &) = delete;
  ScopedDragScript &operator=(const ScopedDragScript &) = delete;

  // How many drags ran.
  int runs = 0;

private:
  static QWidget *DropWidgetAt(const QPoint &Global) {
    QWidget *w = QApplication::widgetAt(Global);
    while (w && !(w->acceptDrops() && w->isEnabled())) w = w->isWindow() ? nullptr : w->parentWidget();
    return w;
  }

  Qt::DropAction Run(QDrag *Drag) {
    ++runs;
    const QMimeData *data = Drag->mimeData();
    QPointer<QWidget> over;
    for (qsizetype i = 0; i < path_.size(); ++i) {
      const QPoint global = path_[i];
      QWidget *w = DropWidgetAt(global);
      if (w != over && over) {
        QDragLeaveEvent leave;
        QApplication::sendEvent(over, &leave);
      }
      if (!w) {
        over = nullptr;
        continue;
      }
      const QPoint local = w->mapFromGlobal(global);
      if (w != over) {
        over = w;
        QDragEnterEvent enter(local, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &enter);
      }
      if (!over) return Qt::IgnoreAction;
      QDragMoveEvent move(local, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(over, &move);
      if (i + 1 < path_.size()) continue;
      // Qt's own loop drops where the button comes up, accepted or not; the widget decides.
      QDropEvent drop(QPointF(local), Qt::MoveAction, data, Qt::NoButton, Qt::NoModifier);
      drop.setAccepted(move.isAccepted());
      QApplication::sendEvent(over, &drop);
      return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    }
    if (over) {
      QDragLeaveEvent leave;
      QApplication::sendEvent(over, &leave);
    }
    return Qt::IgnoreAction;
  }

  QList<QPoint> path_;
  TDragLoop previous_;
};
