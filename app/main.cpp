// Tallyrook: starts the application and runs its message loop until the main window closes.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tallyrook"));
  QMainWindow mainWindow;
  mainWindow.setWindowTitle(QStringLiteral("Tallyrook"));
  mainWindow.resize(800, 600);
  mainWindow.show();
  return application.exec();
}
