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

test: build-dev
	ctest --preset dev -j $(JOBS)

bench: build-release
	./build/release/fabulor-bench

clean:
	rm -rf build
