/* The baseline of a command's start-up: a program that only reads the files
 * named on its command line, each opened, read whole and closed. Exits 1
 * when one cannot be read. */
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv) {
    static char buffer[65536];
    for (int i = 1; i < argc; ++i) {
        const int fd = open(argv[i], O_RDONLY | O_CLOEXEC);
        if (fd < 0) return 1;
        ssize_t got = 0;
        while ((got = read(fd, buffer, sizeof buffer)) > 0) {
        }
        close(fd);
        if (got < 0) return 1;
    }
    return 0;
}
