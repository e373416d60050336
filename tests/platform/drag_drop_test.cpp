// Dragging a control onto another: the drag starts once the mouse has moved far enough with the button held,
// the control under the mouse is asked on entering, moving and leaving, takes the drop when it accepted it,
// and the source hears where the drag ended. Drops that are not a control's keep the widgets' own handling.
#include "drag_script.h"
#include "gui_test_helpers.h"
#include "platform/widgets/std_edits.h"
#include <QMimeData>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

class DragDropTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = TCustomForm::Create<TForm>(nullptr);
    form->SetClientSize(300, 200);
    source = NewControl("source", 0);
    target = NewControl("target", 100);
    source->OnMouseDown = TMouseEvent::From(
        [this](TObject *, TMouseButton, TShiftState, int, int) { source->BeginDrag(false); });
    source->OnClick = TNotifyEvent::From([this](TObject *) { log << "source click"; });
    source->OnEndDrag = TEndDragEvent::From([this](TObject *Sender, TObject *Target, int X, int Y) {
      log << QStringLiteral("%1 end %2 %3,%4").arg(Name(Sender), Name(Target)).arg(X).arg(Y);
    });
    target->OnDragOver = TDragOverEvent::From(
        [this](TObject *Sender, TObject *Source, int X, int Y, TDragState State, bool &Accept) {
          const char *states[] = {"enter", "leave", "move"};
          log << QStringLiteral("%1 %2 %3,%4 from %5")
                     .arg(Name(Sender), states[State])
                     .arg(X)
                     .arg(Y)
                     .arg(Name(Source));
          Accept = accepts;
        });
    target->OnDragDrop = TDragDropEvent::From([this](TObject *Sender, TObject *Source, int X, int Y) {
      log << QStringLiteral("%1 drop %2,%3 from %4").arg(Name(Sender)).arg(X).arg(Y).arg(Name(Source));
    });
    guitest::ShowAndActivate(form);
  }
  void TearDown() override {
    form->Free();
    guitest::ProcessEvents();
  }
  TCustomControl *NewControl(const QString &Name, int Left) {
    auto *control = new TCustomControl(form);
    control->SetName(Name);
    control->SetParent(form);
    control->SetBounds(Left, 0, 80, 40);
    return control;
  }
  static QString Name(TObject *Object) {
    auto *component = dynamic_cast<TComponent *>(Object);
    return component ? component->Name() : QStringLiteral("none");
  }
  QPoint Screen(TControl *Control, int X, int Y) const {
    const TPoint p = Control->ClientToScreen(TPoint{X, Y});
    return {p.X, p.Y};
  }
  // The left button pressed on the source at (5, 5), the mouse moved to each point with it held, released.
  void PressMoveRelease(const QList<QPoint> &Moves) {
    guitest::SendMouse(source, QEvent::MouseButtonPress, Qt::LeftButton, {5, 5}, Qt::LeftButton);
    for (const QPoint &at : Moves)
      guitest::SendMouse(source, QEvent::MouseMove, Qt::NoButton, at, Qt::LeftButton);
    guitest::SendMouse(source, QEvent::MouseButtonRelease, Qt::LeftButton, Moves.last(), Qt::NoButton);
    guitest::ProcessEvents();
  }

  TForm *form = nullptr;
  TCustomControl *source = nullptr;
  TCustomControl *target = nullptr;
  bool accepts = true;
  QStringList log;
};

TEST_F(DragDropTest, TheControlUnderTheMouseIsAskedAndTakesTheDropItAccepts) {
  struct Case {
    const char *what;
    bool accepts;
    QList<QPoint> path; // where the drag goes, in the target's client coordinates
    QStringList log;
  };
  const Case cases[] = {
      {"dropped on the target",
       true,
       {{10, 10}, {12, 11}},
       {"target enter 10,10 from source", "target move 10,10 from source", "target move 12,11 from source",
        "target drop 12,11 from source", "source end target 12,11"}},
      {"refused by the target",
       false,
       {{10, 10}, {12, 11}},
       {"target enter 10,10 from source", "target move 10,10 from source", "target move 12,11 from source",
        "target leave 12,11 from source", "source end none 0,0"}},
      {"taken off the target to a control that takes no part",
       true,
       {{10, 10}, {-40, 10}},
       {"target enter 10,10 from source", "target move 10,10 from source", "target leave 10,10 from source",
        "source end none 0,0"}},
  };
  for (const Case &c : cases) {
    log.clear();
    accepts = c.accepts;
    QList<QPoint> path;
    for (const QPoint &p : c.path) path << Screen(target, p.x(), p.y());
    ScopedDragScript script(path);
    // Two pixels is not a drag yet; ten are.
    PressMoveRelease({{7, 7}, {15, 5}});
    EXPECT_EQ(script.runs, 1) << c.what;
    EXPECT_EQ(log, c.log) << c.what;
    EXPECT_FALSE(source->Dragging()) << c.what;
  }
}

TEST_F(DragDropTest, AButtonReleasedBeforeTheMouseMovedFarEnoughIsAClick) {
  ScopedDragScript script({Screen(target, 10, 10)});
  PressMoveRelease({{7, 8}});
  EXPECT_EQ(script.runs, 0);
  EXPECT_EQ(log, QStringList{"source click"});
  // Nothing is left waiting: the next move with the button held starts nothing.
  guitest::SendMouse(source, QEvent::MouseMove, Qt::NoButton, {40, 30}, Qt::LeftButton);
  EXPECT_EQ(script.runs, 0);
  // Begun at once, the drag needs no move.
  source->OnMouseDown =
      TMouseEvent::From([this](TObject *, TMouseButton, TShiftState, int, int) { source->BeginDrag(true); });
  guitest::SendMouse(source, QEvent::MouseButtonPress, Qt::LeftButton, {5, 5}, Qt::LeftButton);
  EXPECT_EQ(script.runs, 1);
  EXPECT_EQ(log.last(), "source end target 10,10");
}

// A text dragged from elsewhere is none of the controls' business: an edit inserts it as it always has.
TEST_F(DragDropTest, OtherDropsKeepTheWidgetsOwnHandling) {
  auto *edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetBounds(0, 100, 200, 24);
  edit->SetText("ab");
  edit->OnDragOver =
      TDragOverEvent::From([this](TObject *, TObject *, int, int, TDragState, bool &) { log << "asked"; });
  guitest::ProcessEvents();
  QMimeData text;
  text.setText("xyz");
  QWidget *w = edit->Widget();
  const QPoint end(w->width() - 4, w->height() / 2);
  QDragEnterEvent enter(end, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &enter);
  QDragMoveEvent move(end, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &move);
  QDropEvent drop(QPointF(end), Qt::CopyAction, &text, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(w, &drop);
  EXPECT_EQ(edit->Text(), "abxyz");
  EXPECT_TRUE(log.isEmpty());
}

} // namespace
