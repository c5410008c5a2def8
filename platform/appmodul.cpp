// The program entry of an application built on this layer: everything happens in AfxWinMain,
// with the application object the program defines as a global.
#include "platform/afxwin.h"

int main(int argc, char** argv) {
  return AfxWinMain(argc, argv);
}
