# The two commands: `make run` (ARGS='...' passes a command line) and `make test`.
# The product is the i686 build in $(BUILD); on a host that cannot run 32-bit code the
# tests, benchmarks and `make run` use the same sources built for x86_64 in $(BUILD)64.
BUILD := build
ARGS ?=
BENCH ?=
BENCH_ARGS ?=
FUZZ ?=
FUZZ_SECONDS ?= 60

.PHONY: all setup build build64 run test bench fuzz screenshot dist clean

all: build

setup:
	@./scripts/setup.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake

$(BUILD)64/CMakeCache.txt:
	cmake -S . -B $(BUILD)64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake

build: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j2
	@if [ "$$(./scripts/wine-arch.sh)" = 64 ]; then $(MAKE) --no-print-directory build64; fi

build64: $(BUILD)64/CMakeCache.txt
	cmake --build $(BUILD)64 -j2

run: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j2 --target OrvelloWord
	@if [ "$$(./scripts/wine-arch.sh)" = 64 ]; then $(MAKE) --no-print-directory $(BUILD)64/CMakeCache.txt && cmake --build $(BUILD)64 -j2 --target OrvelloWord; fi
	BUILD=$(BUILD) ./scripts/run.sh $(ARGS)

test: build
	BUILD=$(BUILD) ./scripts/run-tests.sh

bench: build
	BUILD=$(BUILD) BENCH="$(BENCH)" BENCH_ARGS="$(BENCH_ARGS)" ./scripts/bench.sh

# Native fuzz targets (fuzz/targets.txt), each run FUZZ_SECONDS; FUZZ='a b' runs some.
fuzz: setup
	FUZZ_SECONDS=$(FUZZ_SECONDS) ./scripts/fuzz.sh $(FUZZ)

# What Windows users download: dist/OrvelloWord-<version>-win32.zip and -win64.zip, and
# an installer for each (...-setup.exe, NSIS); the 32-bit ones are the product.
dist: build $(BUILD)64/CMakeCache.txt
	cmake --build $(BUILD)64 -j2 --target OrvelloWord tracesend
	./scripts/package.sh $(BUILD) win32 dist
	./scripts/package.sh $(BUILD)64 win64 dist

screenshot: build
	BUILD=$(BUILD) ./scripts/screenshot.sh

clean:
	rm -rf $(BUILD) $(BUILD)64 build-fuzz dist
