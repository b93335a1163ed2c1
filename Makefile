# Snaplorn: the two everyday commands.
#   make run   installs what is missing, builds, starts Snaplorn
#   make test  installs what is missing, builds, runs every test through CTest
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_BUILD_TYPE ?= RelWithDebInfo

.PHONY: all deps-build deps-test configure build run test install bench clean

all: build

deps-build:
	@scripts/install-deps.sh build

deps-test:
	@scripts/install-deps.sh test

configure:
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(CMAKE_BUILD_TYPE) >/dev/null

build: deps-build configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@scripts/run.sh $(BUILD_DIR)

test: deps-test configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@cd $(BUILD_DIR) && ctest --output-on-failure -j 2 --timeout 300

install: build
	@cmake --install $(BUILD_DIR)

bench: deps-test configure
	@scripts/install-deps.sh bench
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@bench/run-all.sh $(BUILD_DIR)

clean:
	@rm -rf $(BUILD_DIR)
