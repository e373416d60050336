// Tallyrook: an invoicing program for small businesses.
#include "app/program.h"
#include "platform/windowing/single_instance.h"
#include <QApplication>

int main(int argc, char **argv) {
  NameUserRuntimeFolder();
  QApplication qtApplication(argc, argv);
  // Everything the program made is freed inside, before the QApplication goes.
  return RunTallyrook();
}
