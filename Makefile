# Thin wrapper over the CMake presets.
.PHONY: run test deps build-release build-dev bench clean

JOBS ?= $(shell nproc 2>/dev/null || echo 2)

deps:
	@scripts/install-deps

build-release: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)

build-dev: deps
	cmake --preset dev
	cmake --build --preset dev -j $(JOBS)

run: build-release
	scripts/run-demo

# Every test of the checked build, then what `make run` does on a machine
# without a display, from the release build: both README commands proved.
test: build-dev build-release
	ctest --preset dev -j $(JOBS)
	scripts/run-demo --smoke

bench: deps
	cmake --preset bench
	cmake --build --preset bench -j $(JOBS)
	./build/bench/fabulor-bench

clean:
	rm -rf build
