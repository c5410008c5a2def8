// Counts pixels of a screenshot for the shell-driven tests: prints the image's width and height,
// how many pixels are not white, and then, for each colour given as RRGGBB, how many pixels
// have exactly that colour; one number a line.
//
// Usage: pixel_count IMAGE [RRGGBB]...
// Exit status 2 when the image cannot be read or a colour is not six hex digits.
#include <QColor>
#include <QImage>
#include <QString>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: pixel_count IMAGE [RRGGBB]...\n");
    return 2;
  }
  QImage image;
  if (!image.load(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "pixel_count: cannot read the image %s\n", argv[1]);
    return 2;
  }
  std::vector<QColor> colours;
  for (int i = 2; i < argc; ++i) {
    const QString hex = QString::fromLatin1(argv[i]);
    bool ok = false;
    const uint rgb = hex.toUInt(&ok, 16);
    if (!ok || hex.size() != 6) {
      std::fprintf(stderr, "pixel_count: '%s' is not a colour RRGGBB\n", argv[i]);
      return 2;
    }
    colours.push_back(QColor::fromRgb(rgb));
  }
  long not_white = 0;
  std::vector<long> counts(colours.size(), 0);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y) & 0xffffffu;
      not_white += pixel != 0xffffffu;
      for (std::size_t c = 0; c < colours.size(); ++c)
        counts[c] += pixel == (colours[c].rgb() & 0xffffffu);
    }
  }
  std::printf("%d\n%d\n%ld\n", image.width(), image.height(), not_white);
  for (const long n : counts)
    std::printf("%ld\n", n);
  return 0;
}
