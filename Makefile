# Everyday entry points; each installs what is missing first.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
# CI treats warnings as errors.
WERROR := $(if $(CI),ON,OFF)

.PHONY: all deps gate-deps configure build run test check bench package package-check clean

all: build

deps:
	@./scripts/install-deps.sh

gate-deps:
	@./scripts/install-deps.sh gate

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DCMAKE_COMPILE_WARNING_AS_ERROR=$(WERROR) -DPELMORA_BUILD_BENCH=ON

build: configure
	cmake --build $(BUILD) -j2

run: build
	$(BUILD)/app/dravon

# The everyday run: everything but the slow abrupt-end loop.
test: build
	ctest --test-dir $(BUILD) --output-on-failure -j2 -LE slow

# The full gate: the tests, the slow tests, static checks, the sanitizer run,
# bounded fuzzing and the package round trip.
check: test gate-deps
	ctest --test-dir $(BUILD) --output-on-failure -L slow
	./scripts/static-checks.sh $(BUILD)
	./scripts/sanitize.sh
	./scripts/fuzz.sh 20
	./scripts/check-package.sh $(BUILD)

bench: build
	./bench/startup_compare.sh $(BUILD) 20

# The Debian package, in $(BUILD)/package.
package: build
	cd $(BUILD) && cpack -G DEB

# Builds, installs, starts and removes the package (needs root or sudo).
package-check: build
	./scripts/check-package.sh $(BUILD)

clean:
	rm -rf $(BUILD)
