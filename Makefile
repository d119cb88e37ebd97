# The front door: `make test` and `make demo`. Both install what is missing.
#
# The release is the 32-bit DLL in build/. The tests, the demo, the
# benchmarks, the soak and the screenshots run on that build under 32-bit
# Wine where this machine runs 32-bit code, and otherwise on an x86_64 build
# of the same sources in build-x86_64/ under 64-bit Wine. ARCH=i686 or
# ARCH=x86_64 forces a flavour for every target.
ARCH ?=
JOBS ?= $(shell nproc)
RUNS = test demo bench soak screenshots

ifeq ($(ARCH),x86_64)
BUILD_DIR = build-x86_64
else ifeq ($(filter i686,$(ARCH)),$(ARCH))
BUILD_DIR = build
else
$(error ARCH is i686 or x86_64, not $(ARCH))
endif
TOOLCHAIN = cmake/mingw-$(if $(filter x86_64,$(ARCH)),x86_64,i686).cmake
CMAKE_FLAGS = -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN) -DCMAKE_BUILD_TYPE=Release \
	-DCMAKE_RULE_MESSAGES=OFF
# Compiler warnings and errors still show; progress lines and directory
# changes do not, so that ctest's summary is easy to find.
BUILD = cmake --build $(BUILD_DIR) -j $(JOBS) -- --no-print-directory
SUBMAKE = $(MAKE) --no-print-directory

.PHONY: all deps configure dll product build dist clean fuzz $(RUNS)

all: build

deps:
	@tools/install-deps.sh

$(BUILD_DIR)/CMakeCache.txt:
	@$(SUBMAKE) deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null

configure: $(BUILD_DIR)/CMakeCache.txt

dll: configure
	@echo "Building $(BUILD_DIR)/tolvane.dll"
	@$(BUILD) tolvane

# The 32-bit release DLL, which the x86_64 flavour's image and package
# checks read.
product:
	@$(if $(filter x86_64,$(ARCH)),$(SUBMAKE) dll ARCH=i686)

build: configure product
	@echo "Building the DLL and the tests in $(BUILD_DIR)/"
	@$(BUILD)

ifeq ($(origin ARCH)$(FLAVOUR_CHOSEN),command line)
# ARCH given by hand: i686 must be able to run here.
$(RUNS): deps
	@arch=$$(tools/flavour.sh $(ARCH)) && $(SUBMAKE) $@ ARCH=$$arch FLAVOUR_CHOSEN=1
else ifeq ($(FLAVOUR_CHOSEN),)
$(RUNS): deps
	@arch=$$(tools/flavour.sh) && $(SUBMAKE) $@ ARCH=$$arch FLAVOUR_CHOSEN=1
else
test: build
	@BUILD_DIR=$(BUILD_DIR) tests/run.sh -j $(JOBS)

# A real SMTP server on 127.0.0.1 port 25, the host simulator playing a
# sample conversation, and every mail as the server received it.
demo: build
	@BUILD_DIR=$(BUILD_DIR) tools/demo.sh

# Timings on this machine, written to docs/PERFORMANCE.md.
bench: build
	@$(BUILD) bench_native host_bench
	@BUILD_DIR=$(BUILD_DIR) tests/run.sh -C Bench -R '^Bench\.'
	@/usr/bin/python3 bench/report.py $(BUILD_DIR)/bench docs/PERFORMANCE.md build/tolvane.dll

# The load tests at a scale that takes several minutes.
soak: build
	@$(BUILD) soak_tests
	@BUILD_DIR=$(BUILD_DIR) tests/run.sh -C Soak -R '^Soak\.'

screenshots: build
	@BUILD_DIR=$(BUILD_DIR) tools/screenshots.sh
endif

# The release package, checked: the DLL inside is the 32-bit one just built.
dist: deps
	@$(SUBMAKE) dll ARCH=i686
	@package=$$(/usr/bin/python3 tools/make_dist.py --build build --out dist) && \
	/usr/bin/python3 tests/tools/dist_test.py --build build --zip "$$package" && \
	echo "Release package: $$package"

# Twenty seconds per fuzzer over the committed seeds, as many at a time as
# there are cores: about a minute in all here.
FUZZ_SECONDS ?= 20

fuzz: deps build
	@BUILD_DIR=$(BUILD_DIR) FUZZ_JOBS=$(JOBS) tests/fuzz/run.sh $(FUZZ_SECONDS)

clean:
	rm -rf build build-x86_64 dist
