# `make run` starts the program (the sandbox build under Wine); `make test` builds and runs every test.
SHELL := /bin/bash
.PHONY: run test setup native asan windows fuzz fuzz-long bench clean

setup:
	@bash cmake/setup.sh

native: setup
	@cmake --preset native >/dev/null
	@cmake --build --preset native

# The native tests once more under AddressSanitizer and UndefinedBehaviorSanitizer; only the test
# binaries are built there.
asan: setup
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan

windows: setup
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows

run: windows
	@bash cmake/run-sandbox.sh

test: native asan windows
	@$(MAKE) --no-print-directory fuzz
	@ctest --test-dir build/native -L native --output-on-failure -j2
	@ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir build/asan -L native --output-on-failure -j2
	@ctest --test-dir build/windows -L native --output-on-failure
	@ctest --test-dir build/windows -L 'wine|e2e' --output-on-failure

# Fuzzers: a short run per target here, a long one with fuzz-long.
FUZZERS = property_format_fuzzer fixture_parser_fuzzer meta_refresh_fuzzer download_rules_fuzzer
fuzz: setup
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@for f in $(FUZZERS); do mkdir -p build/fuzz/corpus/$$f; \
	  if ! build/fuzz/fuzz/$$f -max_total_time=$${FUZZ_SECONDS:-20} -print_final_stats=1 -artifact_prefix=build/fuzz/ \
	      build/fuzz/corpus/$$f fuzz/seeds/$$f > build/fuzz/$$f.log 2>&1; then \
	    cat build/fuzz/$$f.log; exit 1; fi; \
	  echo "$$f: $$(grep -m1 -o 'Done [0-9]* runs in [0-9]* second(s)' build/fuzz/$$f.log)"; done

fuzz-long:
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=$${FUZZ_SECONDS:-1800}

# The native benchmarks, then the Windows ones under Wine: the backup's copy, the download engine,
# the packages list's size walk and view, the processor use of every waiting state of the program (cpu_percent_<state> lines), start-up and
# list-view figures.
bench: native windows
	@build/native/bench/pyravel_bench
	@WINEPREFIX=$(CURDIR)/build/windows/wineprefix cmake/wine-run.sh build/windows/bench/backup_bench.exe
	@WINEPREFIX=$(CURDIR)/build/windows/wineprefix cmake/wine-run.sh build/windows/bench/store_walk_bench.exe
	@WINEPREFIX=$(CURDIR)/build/windows/wineprefix cmake/wine-run.sh build/windows/bench/packages_view_bench.exe \
	  sandbox/fixture/real_pc.json
	@/usr/bin/python3 bench/download_bench.py build/windows
	@set -o pipefail; WINEPREFIX=$(CURDIR)/build/windows/wineprefix bash cmake/wine-run.sh \
	  build/windows/tests/pyravel_wintests.exe --gtest_filter='WaitingCpu.*' | grep '^cpu_percent_'
	@python3 bench/startup_bench.py --build build/windows

clean:
	@rm -rf build/native build/asan build/windows build/fuzz
