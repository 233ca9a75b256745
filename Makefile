# The two entry points of a fresh Debian 12 machine: `make test` and `make run`.
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?=

FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 1800

.PHONY: deps configure build test run asan-test valgrind bench fuzz-build fuzz fuzz-smoke clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Registers the built modules for the current user, then starts the calculator
# window; without a display it says so and shows the command-line companion.
run: build
	$(BUILD)/bin/regsvr $(BUILD)/lib/libtallomir.so $(BUILD)/lib/libordovane-jscript.so \
	  $(BUILD)/lib/libordovane-vbscript.so
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
	  echo "make run: no display is available, so the calculator window cannot open."; \
	  echo "Start it from a desktop session, or use the command-line companion $(BUILD)/bin/ordovane-cli:"; \
	  echo; $(BUILD)/bin/ordovane-cli --help; \
	else \
	  $(BUILD)/bin/ordovane; \
	fi

# Every test again under AddressSanitizer and UndefinedBehaviorSanitizer.
asan-test: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORDOVANE_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ctest --output-on-failure -j $(JOBS) -L 'core|ui'

# The core tests under valgrind's memory checker (slow; not part of CI).
valgrind: build
	for t in mpa_tests text_tests platform_tests; do \
	  MPA_TEST_SCALE=0.05 valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect \
	    $(BUILD)/bin/$$t --gtest_brief=1 || exit 1; \
	done

bench: build
	bash scripts/bench-ratios.sh $(BUILD)
	bash scripts/bench-vbscript.sh $(BUILD)
	bash scripts/bench-data-tools.sh $(BUILD)
	QT_QPA_PLATFORM=offscreen $(BUILD)/bin/file_tool_dialog_bench 2>/dev/null

# The libFuzzer programs of fuzz/, built with clang, AddressSanitizer and UBSan.
fuzz-build: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DORDOVANE_FUZZ=ON -DORDOVANE_TESTS=OFF -DORDOVANE_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz-targets

# Long runs: FUZZ_SECONDS of fuzzing per target, one at a time (FUZZ_TARGETS="a b"
# picks targets); the growing corpora stay in $(FUZZ_BUILD)/fuzz-work.
fuzz: fuzz-build
	bash scripts/run-fuzz.sh long $(FUZZ_BUILD) $(FUZZ_SECONDS)

# About a minute: every seed and regression input, then a few seconds per target.
fuzz-smoke: fuzz-build
	bash scripts/run-fuzz.sh smoke $(FUZZ_BUILD)

clean:
	rm -rf $(BUILD) build-asan $(FUZZ_BUILD)
