// Writes the demo's allow-list and firmware images into a folder:
//   make_demo_inputs OUTDIR
// The files committed in demo/ are this program's output.
#include <cstdio>
#include <string>

#include "demo/firmware_gen.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    for (const demo::DemoFile& f : demo::MakeDemoFiles()) {
        std::string path = std::string(argv[1]) + "/" + f.strName;
        FILE* fp = std::fopen(path.c_str(), "wb");
        if (!fp) {
            std::perror(path.c_str());
            return 1;
        }
        bool ok = std::fwrite(f.bytes.data(), 1, f.bytes.size(), fp) == f.bytes.size();
        if (std::fclose(fp) != 0 || !ok) {
            std::perror(path.c_str());
            return 1;
        }
        std::printf("%s (%zu bytes)\n", path.c_str(), f.bytes.size());
    }
    return 0;
}
