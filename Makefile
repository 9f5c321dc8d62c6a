# `make run` starts the program (the sandbox build under Wine); `make test` builds and runs every test.
SHELL := /bin/bash
.PHONY: run test setup native windows fuzz fuzz-long bench clean

setup:
	@bash cmake/setup.sh

native: setup
	@cmake --preset native >/dev/null
	@cmake --build --preset native

windows: setup
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows

run: windows
	@bash cmake/run-sandbox.sh

test: native windows
	@ctest --test-dir build/native -L native --output-on-failure -j2
	@ctest --test-dir build/windows -L 'wine|e2e' --output-on-failure
	@if [ -f build/native/bench/pyravel_bench ]; then :; fi

bench: native
	@build/native/bench/pyravel_bench

clean:
	@rm -rf build/native build/windows build/fuzz
