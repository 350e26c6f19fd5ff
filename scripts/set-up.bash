# Sourced by run-demo, test and package: the repository, its one build
# folder, and the way all three set it up. Each names the package lists it
# needs, its build options and its targets.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"

# setUp LIST... [-DOPTION=VALUE...]: installs what the package lists name
# and is missing, and configures build/ for a release with debug information
# and the options given.
setUp() {
    local lists=()
    while (($#)) && [[ $1 == *.txt ]]; do
        lists+=("$1")
        shift
    done
    "$root/scripts/install-deps" "${lists[@]}"
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}

# buildTargets [--target TARGET...]: builds the targets, or everything, on every
# core.
buildTargets() {
    cmake --build "$build" -j"$(nproc)" "$@"
}
