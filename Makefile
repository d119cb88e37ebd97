# The front door: `make demo` and `make test`. Both install what is missing.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS = -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps configure dll build test demo clean fuzz bench soak

all: build

deps:
	@tools/install-deps.sh

$(BUILD_DIR)/CMakeCache.txt:
	@$(MAKE) --no-print-directory deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null

configure: $(BUILD_DIR)/CMakeCache.txt

dll: configure
	cmake --build $(BUILD_DIR) --target tolvane -j $(JOBS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: deps build
	BUILD_DIR=$(BUILD_DIR) tests/run.sh -j $(JOBS)

demo: deps build
	@echo "The demo arrives with forwarding: it will run a real SMTP server and the host simulator."

# About ten seconds per fuzzer, over the committed seeds.
FUZZ_SECONDS ?= 10

fuzz: deps build
	BUILD_DIR=$(BUILD_DIR) tests/fuzz/run.sh $(FUZZ_SECONDS)

# Timings on this machine, written to docs/PERFORMANCE.md.
bench: deps build
	cmake --build $(BUILD_DIR) --target bench_native host_bench -j $(JOBS)
	BUILD_DIR=$(BUILD_DIR) tests/run.sh -C Bench -R '^Bench\.'
	/usr/bin/python3 bench/report.py $(BUILD_DIR)/bench docs/PERFORMANCE.md

# The load tests at a scale that takes several minutes.
soak: deps build
	cmake --build $(BUILD_DIR) --target soak_tests -j $(JOBS)
	BUILD_DIR=$(BUILD_DIR) tests/run.sh -C Soak -R '^Soak\.'

clean:
	rm -rf $(BUILD_DIR) dist

.PHONY: screenshots
screenshots: build
	BUILD_DIR=$(BUILD_DIR) tools/screenshots.sh
