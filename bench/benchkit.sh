# Sourced by the benchmark scripts that drive the game: the build folder from the first argument
# (./build by default), the whole-program test harness on it, and the frame clock shim.
#   bench_need_shim   stops the script unless the shim is built; sets shim
build=$(cd "${1:-$here/../build}" && pwd)
export E2E_RUN=$build/run E2E_XCLOSE=$build/e2e/xclose E2E_HERE=$here/../tests/e2e
. "$E2E_HERE/harness.sh"

bench_need_shim() {
    shim=$build/bench/libswapclock.so
    [ -f "$shim" ] || { echo "no $shim: build the project first"; exit 1; }
}
