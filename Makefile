# A thin layer over the CMake presets; each target installs what it lacks.
.PHONY: run test build-native build-sanitized build-windows

run: build-windows
	scripts/install-deps.sh wine
	scripts/run-under-wine.sh build/windows/app/zi370-rotate.exe build/windows/wineprefix

test: build-native build-sanitized build-windows
	scripts/install-deps.sh wine
	ctest --preset native
	ctest --preset native-sanitized
	ctest --preset windows

build-native:
	scripts/install-deps.sh native
	cmake --preset native
	cmake --build --preset native

build-sanitized:
	scripts/install-deps.sh native
	cmake --preset native-sanitized
	cmake --build --preset native-sanitized

build-windows:
	scripts/install-deps.sh native windows
	cmake --preset windows
	cmake --build --preset windows
