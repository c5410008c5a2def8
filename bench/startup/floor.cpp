// The toolkit's floor for start-up cost: the least a Qt 6 Widgets program does to show a modal
// dialog, one label and one button. bench/startup/run compares zerb against it.
//
// With --chinese the two texts are Chinese, set in AR PL UMing at 12 px, the face and size that
// stand in for zerb's "宋体" 9 pt on Debian: the floor for a dialog whose interface needs a CJK
// font, whose tables are the largest single part of such a program's memory.
#include <QApplication>
#include <QDialog>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstring>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const bool chinese = argc > 1 && std::strcmp(argv[1], "--chinese") == 0;
  QDialog dialog;
  dialog.setWindowTitle(QStringLiteral("startup floor"));
  if (chinese) {
    QFont font(QStringLiteral("AR PL UMing CN"));
    font.setPixelSize(12);
    dialog.setFont(font);
  }
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(
      new QLabel(chinese ? QStringLiteral("求转换参数") : QStringLiteral("Qt 6 dialog"), &dialog));
  auto* close = new QPushButton(chinese ? QStringLiteral("确定") : QStringLiteral("OK"), &dialog);
  QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
  layout->addWidget(close);
  dialog.exec();
  return 0;
}
