# The front door: `make test` and `make demo`. Both install what is missing.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS = -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
	-DCMAKE_RULE_MESSAGES=OFF
# Compiler warnings and errors still show; progress lines and directory
# changes do not, so that ctest's summary is easy to find.
BUILD = cmake --build $(BUILD_DIR) -j $(JOBS) -- --no-print-directory

.PHONY: all deps configure dll build test demo dist clean fuzz bench soak

all: build

deps:
	@tools/install-deps.sh

$(BUILD_DIR)/CMakeCache.txt:
	@$(MAKE) --no-print-directory deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null

configure: $(BUILD_DIR)/CMakeCache.txt

dll: configure
	@echo "Building $(BUILD_DIR)/tolvane.dll"
	@$(BUILD) tolvane

build: configure
	@echo "Building the DLL and the tests in $(BUILD_DIR)/"
	@$(BUILD)

test: deps build
	@BUILD_DIR=$(BUILD_DIR) tests/run.sh -j $(JOBS)

# A real SMTP server on 127.0.0.1 port 25, the host simulator playing a
# sample conversation, and every mail as the server received it.
demo: deps build
	@BUILD_DIR=$(BUILD_DIR) tools/demo.sh

# The release package, checked: the DLL inside is the one just built.
dist: deps build
	@package=$$(/usr/bin/python3 tools/make_dist.py --build $(BUILD_DIR) --out dist) && \
	/usr/bin/python3 tests/tools/dist_test.py --build $(BUILD_DIR) --zip "$$package" && \
	echo "Release package: $$package"

# Twenty seconds per fuzzer over the committed seeds, as many at a time as
# there are cores: about a minute in all here.
FUZZ_SECONDS ?= 20

fuzz: deps build
	@BUILD_DIR=$(BUILD_DIR) FUZZ_JOBS=$(JOBS) tests/fuzz/run.sh $(FUZZ_SECONDS)

# Timings on this machine, written to docs/PERFORMANCE.md.
bench: deps build
	@$(BUILD) bench_native host_bench
	@BUILD_DIR=$(BUILD_DIR) tests/run.sh -C Bench -R '^Bench\.'
	@/usr/bin/python3 bench/report.py $(BUILD_DIR)/bench docs/PERFORMANCE.md

# The load tests at a scale that takes several minutes.
soak: deps build
	@$(BUILD) soak_tests
	@BUILD_DIR=$(BUILD_DIR) tests/run.sh -C Soak -R '^Soak\.'

clean:
	rm -rf $(BUILD_DIR) dist

.PHONY: screenshots
screenshots: build
	BUILD_DIR=$(BUILD_DIR) tools/screenshots.sh
