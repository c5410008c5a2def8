// The toolkit's floor for start-up cost: the least a Qt 6 Widgets program does to show a modal
// dialog, one label and one button. bench/startup/run compares zerb against it.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QDialog dialog;
  dialog.setWindowTitle(QStringLiteral("startup floor"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral("Qt 6 dialog"), &dialog));
  auto* close = new QPushButton(QStringLiteral("OK"), &dialog);
  QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
  layout->addWidget(close);
  dialog.exec();
  return 0;
}
