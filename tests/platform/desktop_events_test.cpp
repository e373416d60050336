// What the desktop tells the program: the mouse moving over a window, and the program becoming or ceasing to
// be the active application.
#include "desktop_events.h"
#include "platform/windowing/application.h"
#include "std_test_helpers.h"

namespace {

// A painted control that logs its mouse messages.
class MouseProbe : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  QStringList log;
  void WndProc(TMessage &m) override {
    TCustomControl::WndProc(m);
    const int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
    switch (m.Msg) {
    case WM_NCHITTEST: log << QStringLiteral("hittest %1,%2 answers %3").arg(x).arg(y).arg(m.Result); break;
    case WM_SETCURSOR: log << QStringLiteral("setcursor"); break;
    case WM_MOUSEMOVE: log << QStringLiteral("mousemove %1,%2").arg(x).arg(y); break;
    default: break;
    }
  }
};

class DesktopEventsTest : public stdtest::FormTest {};

TEST_F(DesktopEventsTest, AMouseMoveAsksTheWindowWhatLiesUnderTheScreenPointFirst) {
  guitest::MouseParker parker;
  auto *probe = Add<MouseProbe>(20, 30, 80, 40);
  Show();
  guitest::MoveMouseTo(probe, {5, 6});
  probe->log.clear();
  guitest::MoveMouseTo(probe, {10, 12});
  const TPoint screen = probe->ClientToScreen({10, 12});
  EXPECT_EQ(probe->log,
            QStringList({QStringLiteral("hittest %1,%2 answers %3").arg(screen.X).arg(screen.Y).arg(HTCLIENT),
                         QStringLiteral("setcursor"), QStringLiteral("mousemove 10,12")}));
}

TEST_F(DesktopEventsTest, TheApplicationIsActiveWhileOneOfItsWindowsIs) {
  Show();
  EXPECT_TRUE(Application()->Active());
  guitest::ActivateOtherApplication();
  EXPECT_FALSE(Application()->Active());
  guitest::ActivateWindowOf(form);
  EXPECT_TRUE(Application()->Active());
}

} // namespace
