// zemmap [FILE.mp]: the desktop editor; opens the given map, or starts with an empty one.
// zemmap --print-pdf OUT.pdf [--fit] FILE.mp: the print command's page as a PDF, without a window.
#include "ui/ZemStartup.h"

int main(int argc, char* argv[]) {
    return zem::RunZemMap(argc, argv);
}
