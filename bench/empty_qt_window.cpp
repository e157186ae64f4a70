// An empty Qt window of the program's size: the baseline for the program's resident memory.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  window.resize(605, 338);
  window.show();
  return application.exec();
}
