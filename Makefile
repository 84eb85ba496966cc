# Everyday entry points; each installs what is missing first.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
# CI treats warnings as errors.
WERROR := $(if $(CI),ON,OFF)

.PHONY: all deps configure build run test bench package package-check clean

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DCMAKE_COMPILE_WARNING_AS_ERROR=$(WERROR) -DPELMORA_BUILD_BENCH=ON

build: configure
	cmake --build $(BUILD) -j2

run: build
	$(BUILD)/app/dravon

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j2

bench: build
	$(BUILD)/bench/check_bench

# The Debian package, in $(BUILD)/package.
package: build
	cd $(BUILD) && cpack -G DEB

# Builds, installs, starts and removes the package (needs root or sudo).
package-check: build
	./scripts/check-package.sh $(BUILD)

clean:
	rm -rf $(BUILD)
