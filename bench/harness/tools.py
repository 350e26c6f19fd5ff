"""The programs and shims that the measurements run, built from this tree."""

import os
import subprocess

BENCH = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
REPO = os.path.dirname(BENCH)


def build(build_dir):
    """Builds bench/CMakeLists.txt's bench_tools in build_dir; their paths by name."""
    configure = ["cmake", "-S", REPO, "-B", build_dir]
    if not os.path.exists(os.path.join(build_dir, "CMakeCache.txt")):
        configure += ["-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DVELLOMIRKE_TESTS=OFF"]
    subprocess.run(configure, check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir, "--target", "bench_tools", "-j",
                    str(os.cpu_count() or 2)], check=True, stdout=subprocess.DEVNULL)
    tools = {
        "demo": os.path.join(build_dir, "vellomirke-demo"),
        "baseline": os.path.join(build_dir, "bench", "bench_baseline"),
        "launch": os.path.join(build_dir, "bench", "bench_launch"),
        "reload": os.path.join(build_dir, "bench", "reload_bench"),
        "save_check": os.path.join(build_dir, "bench", "save_check_bench"),
        "timeline": os.path.join(build_dir, "bench", "timeline_bench"),
        "live": os.path.join(build_dir, "vellomirke-live"),
        "idle": os.path.join(build_dir, "bench", "bench_idle_cpu"),
        "timing": os.path.join(build_dir, "bench", "libstartup_timing_shim.so"),
        "counter": os.path.join(build_dir, "bench", "liballocation_counter.so"),
        "clock": os.path.join(build_dir, "bench", "libcallgrind_clock.so"),
        "swaps": os.path.join(build_dir, "bench", "libswap_counter.so"),
        "capture": os.path.join(build_dir, "capture", "libvellomirke-capture.so"),
    }
    for path in tools.values():
        if not os.path.exists(path):
            raise RuntimeError("not built: " + path)
    return tools
