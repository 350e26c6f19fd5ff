// Preloaded into the demo (or the baseline) by bench/run: counts the heap
// allocations made on the main thread during steady-state frames, and says
// whose they are. After VELLOMIRKE_BENCH_WARMUP frames it counts for
// VELLOMIRKE_BENCH_FRAMES more (frames are counted at glfwSwapBuffers), then
// writes "key value" lines to VELLOMIRKE_BENCH_OUT and ends the process.
//
// Each allocation is charged to the innermost caller outside the C and C++
// runtimes: the program's own code (a std::string made in the frame loop, say,
// reaches malloc through operator new, which is runtime) or a library that the
// program called (the GL driver, GLFW, Xlib). Driver threads and SDL's audio
// thread are not the program's frame loop and are not counted.
#include <GLFW/glfw3.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <execinfo.h>
#include <link.h>
#include <sys/syscall.h>
#include <unistd.h>

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);
}

namespace {

struct Range {
    uintptr_t begin, end;
};

Range programCode[8];
int programRanges = 0;
Range runtimeCode[32];
int runtimeRanges = 0;

// Written by the main thread at a swap, read by every thread that allocates.
std::atomic<bool> counting{false};
long frames = 0;
long warmup = 100;
long measured = 300;
long program = 0;
long library = 0;
long runtime = 0;
thread_local bool inside = false;

bool isRuntime(const char* name) {
    static const char* const runtimes[] = {"libc.so",           "libstdc++.so", "libgcc_s.so",
                                           "libm.so",           "ld-linux",     "AllocationCounter",
                                           "allocation_counter"};
    for (const char* r : runtimes) {
        if (std::strstr(name, r) != nullptr) {
            return true;
        }
    }
    return false;
}

int noteCode(dl_phdr_info* info, size_t, void*) {
    bool isProgram = info->dlpi_name == nullptr || info->dlpi_name[0] == '\0';
    bool runtimeLib = !isProgram && isRuntime(info->dlpi_name);
    if (!isProgram && !runtimeLib) {
        return 0;
    }
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const auto& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD || !(segment.p_flags & PF_X)) {
            continue;
        }
        Range range{info->dlpi_addr + segment.p_vaddr,
                    info->dlpi_addr + segment.p_vaddr + segment.p_memsz};
        if (isProgram && programRanges < 8) {
            programCode[programRanges++] = range;
        } else if (runtimeLib && runtimeRanges < 32) {
            runtimeCode[runtimeRanges++] = range;
        }
    }
    return 0;
}

bool within(const Range* ranges, int count, uintptr_t address) {
    for (int i = 0; i < count; ++i) {
        if (address >= ranges[i].begin && address < ranges[i].end) {
            return true;
        }
    }
    return false;
}

bool onMainThread() {
    return syscall(SYS_gettid) == getpid();
}

void charge() {
    if (!counting.load(std::memory_order_relaxed) || inside || !onMainThread()) {
        return;
    }
    inside = true;
    void* callers[64];
    int depth = backtrace(callers, 64);
    bool charged = false;
    for (int i = 1; i < depth && !charged; ++i) {
        auto address = reinterpret_cast<uintptr_t>(callers[i]);
        if (within(runtimeCode, runtimeRanges, address)) {
            continue;
        }
        (within(programCode, programRanges, address) ? program : library)++;
        charged = true;
    }
    if (!charged) {
        ++runtime;
    }
    inside = false;
}

void writeAndExit() {
    if (const char* path = std::getenv("VELLOMIRKE_BENCH_OUT")) {
        if (std::FILE* out = std::fopen(path, "w")) {
            std::fprintf(out, "frames %ld\nprogram %ld\nlibrary %ld\nruntime %ld\n", measured,
                         program, library, runtime);
            std::fclose(out);
        }
    }
    _exit(0);
}

__attribute__((constructor)) void start() {
    if (const char* w = std::getenv("VELLOMIRKE_BENCH_WARMUP")) {
        warmup = std::atol(w);
    }
    if (const char* f = std::getenv("VELLOMIRKE_BENCH_FRAMES")) {
        measured = std::atol(f);
    }
    // backtrace loads the unwinder on first use; do that now, not mid-count.
    void* prime[4];
    backtrace(prime, 4);
    dl_iterate_phdr(noteCode, nullptr);
}

} // namespace

extern "C" {

void* malloc(size_t size) {
    charge();
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
    charge();
    return __libc_calloc(count, size);
}

void* realloc(void* pointer, size_t size) {
    charge();
    return __libc_realloc(pointer, size);
}

void* memalign(size_t alignment, size_t size) {
    charge();
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) {
    charge();
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** result, size_t alignment, size_t size) {
    charge();
    *result = __libc_memalign(alignment, size);
    return *result != nullptr ? 0 : 12; // ENOMEM
}

void free(void* pointer) {
    __libc_free(pointer);
}

void glfwSwapBuffers(GLFWwindow* window) {
    using Swap = void (*)(GLFWwindow*);
    static auto real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "glfwSwapBuffers"));
    real(window);
    ++frames;
    if (frames == warmup) {
        counting = true;
    } else if (frames == warmup + measured) {
        counting = false;
        writeAndExit();
    }
}

} // extern "C"
