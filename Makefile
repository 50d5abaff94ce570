# The two commands: `make run` (ARGS='...' passes a command line) and `make test`.
BUILD := build
ARGS ?=

.PHONY: all setup build run test bench screenshot clean

all: build

setup:
	@./scripts/setup.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake

build: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j2

run: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j2 --target OrvelloWord
	./scripts/run.sh $(ARGS)

test: build
	BUILD=$(BUILD) ./scripts/run-tests.sh

bench: build
	BUILD=$(BUILD) ./scripts/bench.sh

screenshot: build
	BUILD=$(BUILD) ./scripts/screenshot.sh

clean:
	rm -rf $(BUILD)
