// The viewer program; the collection comes from the name it was started by.
#include <QApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Velk 0.1.0\n");
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("Usage: velkwp | velkwm | velkwa [--help] [--version]\n");
            return 0;
        }
    }
    QApplication qapp(argc, argv);
    return 0;
}
