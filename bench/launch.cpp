// launch PROGRAM [ARGS...]: notes the monotonic clock in VELLOMIRKE_BENCH_T0
// (nanoseconds) and then becomes PROGRAM, so that the timing shim inside it
// can count from the moment the process was started.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: launch PROGRAM [ARGS...]\n");
        return 2;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    long long ns = static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
    setenv("VELLOMIRKE_BENCH_T0", std::to_string(ns).c_str(), 1);
    execv(argv[1], argv + 1);
    std::perror("execv");
    return 127;
}
