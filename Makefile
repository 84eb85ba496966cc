# Everyday entry points; each installs what is missing first.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
# CI treats warnings as errors.
WERROR := $(if $(CI),ON,OFF)

# The build takes the tests and benchmarks along, and installs what they
# need; running the program needs neither.
WITH_TESTS ?= ON
DEPS ?= test

.PHONY: all deps gate-deps windows-deps configure build run test check windows windows64 windows-test screen-reader-test bench package package-check release clean

all: build

deps:
	@./scripts/install-deps.sh $(DEPS)

gate-deps:
	@./scripts/install-deps.sh gate

windows-deps:
	@./scripts/install-deps.sh windows

CONFIGURE = cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DCMAKE_COMPILE_WARNING_AS_ERROR=$(WERROR)
# A run of ctest that finds no test fails rather than passing.
CTEST = ctest --output-on-failure --no-tests=error

configure: deps
	$(CONFIGURE) -DPELMORA_BUILD_TESTS=$(WITH_TESTS) -DPELMORA_BUILD_BENCH=$(WITH_TESTS)

build: configure
	cmake --build $(BUILD) -j2

# Only what building and running the program need, and only the program
# built. A new build folder is configured without the tests; one that has
# them keeps them: run and test never undo each other's work.
run:
	@./scripts/install-deps.sh run
	@[ -f $(BUILD)/CMakeCache.txt ] || $(CONFIGURE) -DPELMORA_BUILD_TESTS=OFF -DPELMORA_BUILD_BENCH=OFF
	cmake --build $(BUILD) -j2 --target dravon
	$(BUILD)/app/dravon

# The everyday run: everything but the slow abrupt-end loop.
test: build
	$(CTEST) --test-dir $(BUILD) -j2 -LE slow

# The full gate: the tests, the slow tests, static checks, the sanitizer run,
# bounded fuzzing, the release built twice and compared, the Debian package
# checked and round-tripped, the Windows tests (on the shipped 32-bit release
# too, where this machine runs 32-bit programs and has the 32-bit Wine), and
# the everyday and Windows tests again on the other Debian release, in a
# chroot.
check: test gate-deps
	$(CTEST) --test-dir $(BUILD) -L slow
	./scripts/static-checks.sh $(BUILD)
	./scripts/sanitize.sh
	./scripts/fuzz.sh 20
	./scripts/check-reproducible.sh
	./scripts/check-package.sh
	$(MAKE) windows-test
	./scripts/windows32-test.sh build-release-windows
	./scripts/debian-chroot.sh

# The Windows program, 32-bit: build-windows/Dravon.exe.
windows: windows-deps
	cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_COMPILE_WARNING_AS_ERROR=$(WERROR) -DPELMORA_BUILD_TESTS=OFF
	cmake --build build-windows -j2

# The Windows release: build-windows/pelmora-1.00-win32.msi and .zip.
windows-package: windows
	cmake --build build-windows --target windows_package

# Installs and removes that release under Wine in a throwaway prefix.
windows-package-check: windows
	cmake --build build-windows --target windows_package_check

# The same sources built for 64-bit Windows (this machine's Wine runs only
# 64-bit programs): the core's tests and the end-to-end test under Wine.
windows64: windows-deps
	cmake -S . -B build-windows64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_COMPILE_WARNING_AS_ERROR=$(WERROR) -DPELMORA_BUILD_BENCH=ON
	cmake --build build-windows64 -j2

windows-test: windows64
	$(CTEST) --test-dir build-windows64

# Orca, the desktop's screen reader, on the real program (also in the gate's
# slow tests).
screen-reader-test: build
	@./scripts/install-deps.sh screen-reader
	sh tests/e2e/screen_reader.sh $(BUILD)/app/dravon

bench: build windows windows64
	./bench/startup_compare.sh $(BUILD) 20
	./bench/windows_startup.sh build-windows64 20 build-windows/Dravon.exe

# The Debian package, in $(BUILD)/package.
package: build
	cd $(BUILD) && cpack -G DEB

# Checks the release's package with lintian, installs, starts and removes it
# (needs root or sudo).
package-check: release gate-deps
	./scripts/check-package.sh

# Every download, reproducibly, with SHA256SUMS: dist/.
release:
	./scripts/release.sh dist

clean:
	rm -rf $(BUILD) build-windows build-windows64 build-release build-release-windows dist
