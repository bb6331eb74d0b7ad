# The two entry points: `make run` and `make test`. Both install what is missing first.
BUILD_DIR ?= build
BENCH_DIR ?= build-bench
JOBS ?= $(shell nproc)

.PHONY: setup configure build run test bench clean

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

bench: setup
	@cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BENCH_DIR) -j $(JOBS) --target tessel_bench
	QT_QPA_PLATFORM=offscreen ./$(BENCH_DIR)/bench/tessel_bench

clean:
	rm -rf $(BUILD_DIR) $(BENCH_DIR)
