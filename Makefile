# A thin layer over the CMake presets; each target installs what it lacks.
FUZZ_RUNS ?= 10000000
# The Windows build that `make measure` runs: x86 (the product) or x64.
ARCH ?= x86

.PHONY: run test package bench fuzz measure build-native build-sanitized build-fuzz build-bench \
        build-windows-x86 build-windows-x64

run: build-windows-x86
	scripts/install-deps.sh wine-x86
	scripts/run-under-wine.sh x86 build/windows-x86/app/zi370-rotate.exe build/windows-x86/wineprefix

test: build-native build-sanitized build-fuzz build-windows-x86 build-windows-x64 package
	scripts/install-deps.sh wine-x86 wine-x64
	ctest --preset native
	ctest --preset sanitized
	ctest --preset fuzz --parallel 2
	ctest --preset windows-x86 --verbose
	ctest --preset windows-x64 --verbose
	ctest --preset release --verbose

# build/dist/zi370-rotate-<version>.zip: both executables and the deployment files.
package: build-windows-x86 build-windows-x64
	scripts/install-deps.sh release
	cmake --preset release
	cmake --build --preset release

# Long fuzzing runs: FUZZ_RUNS inputs per target, corpora kept in build/fuzz.
fuzz: build-fuzz
	for target in fuzz_table fuzz_faults; do \
	  build/fuzz/tests/fuzz/$$target -runs=$(FUZZ_RUNS) -print_final_stats=1 \
	    build/fuzz/tests/fuzz/corpus/$$target tests/fuzz/seeds/$$target || exit 1; \
	done

bench: build-bench
	build/bench/benchmarks/zi370_bench

# Process-level figures under Wine, beside Wine's own `reg add`.
measure: build-windows-$(ARCH)
	scripts/install-deps.sh wine-$(ARCH)
	bash -c 'source scripts/wine-env.sh && wine_setup $(ARCH) build/windows-$(ARCH)/measure-prefix && \
	  export WINE_APP_LOADER && scripts/measure_process.py build/windows-$(ARCH)/app/zi370-rotate.exe'

build-native build-sanitized build-fuzz build-bench: build-%:
	scripts/install-deps.sh native
	cmake --preset $*
	cmake --build --preset $*

build-windows-x86 build-windows-x64: build-%:
	scripts/install-deps.sh native windows
	cmake --preset $*
	cmake --build --preset $*
