// zemmap [FILE.mp]: the desktop editor; opens the given map, or starts with an empty one.
#include "ui/ZemStartup.h"

int main(int argc, char* argv[]) {
    return zem::RunZemMap(argc, argv);
}
