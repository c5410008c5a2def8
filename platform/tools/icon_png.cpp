// Writes the application icon at 16 or 32 pixels as a PNG file for the desktop's hicolor icon
// theme. The images are the ones the program carries inside itself, so the desktop shows exactly
// the icon the window does.
#include <QImage>
#include <QString>
#include <cstdio>
#include <string_view>

#include "res/icons/app_16.xpm"
#include "res/icons/app_32.xpm"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s 16|32 OUTPUT.png\n", argv[0]);
    return 2;
  }
  const std::string_view size = argv[1];
  const char* const* xpm = size == "16" ? app_16_xpm : size == "32" ? app_32_xpm : nullptr;
  if (xpm == nullptr) {
    std::fprintf(stderr, "%s: no icon of size %s (16 or 32)\n", argv[0], argv[1]);
    return 2;
  }
  const QImage image(xpm);
  if (image.isNull() || !image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
    return 1;
  }
  return 0;
}
