// zemmap-cli: the headless face of the ZemMap core.
#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        std::puts("usage: zemmap-cli <command> [arguments]\n");
        return argc < 2 ? 2 : 0;
    }
    std::fprintf(stderr, "zemmap-cli: unknown command '%s'\n", argv[1]);
    return 2;
}
