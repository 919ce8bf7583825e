// Build tool: writes the program's icon as PNG files for the desktop's icon
// theme, from the very picture the window uses.
//   xpmtopng SIZE OUTPUT.png   (SIZE a multiple of 32; pixels are kept square)
#include "hamburger.xpm"

#include <QImage>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    const int size = argc == 3 ? std::atoi(argv[1]) : 0;
    if (size <= 0 || size % 32 != 0) {
        std::fputs("usage: xpmtopng SIZE OUTPUT.png\n", stderr);
        return 2;
    }
    const QImage icon =
        QImage(hamburger_xpm).scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return icon.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}
