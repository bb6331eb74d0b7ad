# The two entry points: `make run` and `make test`. Both install what is missing first.
BUILD_DIR ?= build
BENCH_DIR ?= build-bench
ASAN_DIR ?= build-asan
FUZZ_DIR ?= build-fuzz
JOBS ?= $(shell nproc)
# Seconds per fuzz target: FUZZ_SECONDS for `make fuzz`, FUZZ_TEST_SECONDS within `make test`.
FUZZ_SECONDS ?= 60
FUZZ_TEST_SECONDS ?= 10
FUZZ_CXX ?= clang++
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: setup configure build run test test-sanitize fuzz-build fuzz bench clean

setup:
	@bash scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/tessel

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory test-sanitize
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=$(FUZZ_TEST_SECONDS)

# The tests once more, built with AddressSanitizer and UndefinedBehaviorSanitizer (no
# benchmark); tests labelled no_sanitize cannot work under them and are left out.
test-sanitize: setup
	@cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1" -DTESSEL_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && QT_QPA_PLATFORM=offscreen $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS) -LE no_sanitize

# The parsers of untrusted text under libFuzzer, a bounded time each (fuzz/run.sh).
fuzz-build: setup
	@cmake -S fuzz -B $(FUZZ_DIR) -DCMAKE_CXX_COMPILER=$(FUZZ_CXX) >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS)

fuzz: fuzz-build
	bash fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

bench: setup
	@cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BENCH_DIR) -j $(JOBS) --target tessel_bench
	TESSEL_BENCH_PHOTO="$$(bash scripts/bench-photo.sh $(BENCH_DIR)/photo)" \
	QT_QPA_PLATFORM=offscreen:configfile=$(CURDIR)/bench/desktop-screen.json ./$(BENCH_DIR)/bench/tessel_bench $(BENCH_ROWS)

clean:
	rm -rf $(BUILD_DIR) $(BENCH_DIR) $(ASAN_DIR) $(FUZZ_DIR)
