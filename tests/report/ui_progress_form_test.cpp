// The progress window: the work runs while the window shows, the label follows it, Cancel (button, Escape or
// close box) stops it through the terminated flag, and an exception of the work reaches the caller.
#include "../platform/gui_test_helpers.h"
#include "platform/core/exceptions.h"
#include "platform/widgets/std_buttons.h"
#include "platform/widgets/std_labels.h"
#include "platform/windowing/application.h"
#include "platform/windowing/system_services.h"
#include "report/ui/progress_form.h"
#include <gtest/gtest.h>

namespace {

class ProgressFormTest : public ::testing::Test {
protected:
  ScopedScriptedServices services;
  TfrProgressFormWindow window;
};

TEST_F(ProgressFormTest, WorkRunsWhileTheWindowShowsAndClosesIt) {
  window.SetCaption("Invoice - Report preparing");
  QStringList seen;
  bool showing = false;
  const TModalResult result = window.Execute(
      [&] {
        showing = window.Form()->Showing() && window.Form()->Modal();
        for (int page = 1; page <= 3; ++page) {
          window.SetLabel(QStringLiteral("Processing page:  %1").arg(page));
          Application()->ProcessMessages();
          seen << window.Form()->Label1->Caption();
        }
        window.Close(mrOk);
        window.Close(mrCancel); // later calls change nothing
      },
      [] { FAIL() << "not cancelled"; });
  EXPECT_EQ(result, mrOk);
  EXPECT_TRUE(showing);
  EXPECT_EQ(seen.last(), "Processing page:  3");
  EXPECT_FALSE(window.Form()->Visible());
}

// The Cancel button, Escape and the close box each stop the work at its next check.
TEST_F(ProgressFormTest, CancelEscapeAndTheCloseBoxStopTheWorkAtItsNextCheck) {
  const std::function<void()> ways[] = {[&] { guitest::Click(window.Form()->Button1, QPoint(5, 5)); },
                                        [&] {
                                          guitest::PressKey(Qt::Key_Escape, Qt::NoModifier,
                                                            QString(QChar(27)), 0,
                                                            window.Form()->Button1->Widget());
                                        },
                                        [&] { SendMessage(window.Form()->Handle(), WM_CLOSE); }};
  for (const auto &cancel : ways) {
    bool terminated = false;
    int cancels = 0, pages = 0;
    const TModalResult result = window.Execute(
        [&] {
          for (int page = 1; page <= 10 && !terminated; ++page) {
            ++pages;
            window.SetLabel(QStringLiteral("Printing page:  %1").arg(page));
            if (page == 2) cancel();
            Application()->ProcessMessages();
          }
          window.Close(terminated ? mrCancel : mrOk);
        },
        [&] {
          ++cancels;
          terminated = true;
        });
    EXPECT_EQ(QList<int>({result, cancels, pages}), QList<int>({mrCancel, 1, 2}));
  }
}

TEST_F(ProgressFormTest, WorkThatEndsWithoutClosingEndsWithOkAndAnExceptionReachesTheCaller) {
  int runs = 0;
  EXPECT_THROW(window.Execute([] { throw EConvertError(QStringLiteral("bad value")); }, {}), EConvertError);
  EXPECT_TRUE(services->MessageBoxes().isEmpty()) << "the caller decides how to show it";
  EXPECT_EQ(window.Execute([&] { ++runs; }, {}), mrOk) << "the window can run again";
  EXPECT_EQ(runs, 1);
}

} // namespace
