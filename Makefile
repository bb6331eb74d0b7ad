# Entry points: `make run`, `make install`, `make test`, `make check`. Each installs the
# Debian packages it needs that are missing first.
BUILD_DIR ?= build
BENCH_DIR ?= build-bench
ASAN_DIR ?= build-asan
FUZZ_DIR ?= build-fuzz
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
DESTDIR ?=
# Seconds per fuzz target: FUZZ_SECONDS for `make fuzz`, FUZZ_CHECK_SECONDS within `make check`.
FUZZ_SECONDS ?= 60
FUZZ_CHECK_SECONDS ?= 10
FUZZ_CXX ?= clang++
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: setup setup-test configure build run install uninstall test check test-sanitize fuzz-build fuzz bench clean

setup:
	@bash scripts/setup.sh

setup-test:
	@bash scripts/setup.sh --test

configure: setup
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/tessel

# Into $(DESTDIR)$(PREFIX). The files written are listed apart from CMake's own
# install_manifest.txt (which names them without DESTDIR and which the install done by a
# test scenario rewrites); uninstall removes those that are still as installed.
INSTALLED_LIST = $(BUILD_DIR)/installed-files.txt
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"
	@bash scripts/installed-files.sh record $(BUILD_DIR)/install_manifest.txt $(INSTALLED_LIST) "$(DESTDIR)"

uninstall:
	@bash scripts/installed-files.sh remove $(INSTALLED_LIST)

# The build, then every CTest test: unit tests, validators and the real-window scenarios.
test: setup-test build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# `make test`, then the tests once more under the sanitizers, then the fuzzing.
check: test
	@$(MAKE) --no-print-directory test-sanitize
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=$(FUZZ_CHECK_SECONDS)

# The tests built with AddressSanitizer and UndefinedBehaviorSanitizer (no benchmark).
# Every unit test runs under them; the real-window scenarios (label acceptance) ran once
# already in `make test` and judge the window, not memory.
test-sanitize: setup-test
	@cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1" -DTESSEL_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && QT_QPA_PLATFORM=offscreen $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS) -LE acceptance

# The parsers of untrusted text and the picture reader under libFuzzer, a bounded time
# each (fuzz/run.sh).
fuzz-build: setup-test
	@cmake -S fuzz -B $(FUZZ_DIR) -DCMAKE_CXX_COMPILER=$(FUZZ_CXX) >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS)

fuzz: fuzz-build
	bash fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

bench: setup-test
	@cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BENCH_DIR) -j $(JOBS) --target tessel_bench
	TESSEL_BENCH_PHOTO="$$(bash scripts/bench-photo.sh $(BENCH_DIR)/photo)" \
	QT_QPA_PLATFORM=offscreen:configfile=$(CURDIR)/bench/desktop-screen.json ./$(BENCH_DIR)/bench/tessel_bench $(BENCH_ROWS)

clean:
	rm -rf $(BUILD_DIR) $(BENCH_DIR) $(ASAN_DIR) $(FUZZ_DIR)
