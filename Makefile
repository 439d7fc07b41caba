# A thin layer over the CMake presets; each target installs what it lacks.
FUZZ_RUNS ?= 10000000

.PHONY: run test bench fuzz measure build-native build-sanitized build-fuzz build-windows build-bench

run: build-windows
	scripts/install-deps.sh wine
	scripts/run-under-wine.sh build/windows/app/zi370-rotate.exe build/windows/wineprefix

test: build-native build-sanitized build-fuzz build-windows
	scripts/install-deps.sh wine
	ctest --preset native
	ctest --preset sanitized
	ctest --preset fuzz --parallel 2
	ctest --preset windows

# Long fuzzing runs: FUZZ_RUNS inputs per target, corpora kept in build/fuzz.
fuzz: build-fuzz
	for target in fuzz_table fuzz_faults; do \
	  build/fuzz/tests/fuzz/$$target -runs=$(FUZZ_RUNS) -print_final_stats=1 \
	    build/fuzz/tests/fuzz/corpus/$$target tests/fuzz/seeds/$$target || exit 1; \
	done

bench: build-bench
	build/bench/benchmarks/zi370_bench

# Process-level figures under Wine, beside Wine's own `reg add`.
measure: build-windows
	scripts/install-deps.sh wine
	ZI370_WINEPREFIX=build/windows/measure-prefix bash -c \
	  'source scripts/wine-env.sh && ensure_wine_prefix && scripts/measure_process.py build/windows/app/zi370-rotate.exe'

build-native build-sanitized build-fuzz build-bench: build-%:
	scripts/install-deps.sh native
	cmake --preset $*
	cmake --build --preset $*

build-windows:
	scripts/install-deps.sh native windows
	cmake --preset windows
	cmake --build --preset windows
