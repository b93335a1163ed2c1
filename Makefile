# Snaplorn: the two everyday commands.
#   make run   installs what is missing, builds, starts Snaplorn
#   make test  installs what is missing, builds, runs every test through CTest,
#              then builds and runs the whole suite again under AddressSanitizer
#              and UndefinedBehaviorSanitizer (`make test-asan` alone)
#   make fuzz  runs every fuzz target for a bounded time (not part of CI)
#   make bench / make soak   speed figures beside the peers / the long-run check
#   make package             the Debian package build/snaplorn_<version>_<arch>.deb
#   make test-kwin           only the tests in a headless KWin session
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_BUILD_TYPE ?= RelWithDebInfo
ASAN_BUILD_DIR ?= build-asan

.PHONY: all deps-build deps-test deps-package configure build run test test-plain test-asan test-kwin fuzz install package bench soak clean

all: build

deps-build:
	@scripts/install-deps.sh build

deps-test:
	@scripts/install-deps.sh test

deps-package:
	@scripts/install-deps.sh package

configure:
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(CMAKE_BUILD_TYPE) >/dev/null

build: deps-build configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# Running needs the executable and its module only, not the tests and
# benchmarks that `make build` and `make test` also compile.
run: deps-build configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target snaplorn
	@scripts/run.sh $(BUILD_DIR)

test: test-plain
	@$(MAKE) --no-print-directory test-asan

test-plain: deps-test configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@cd $(BUILD_DIR) && ctest --output-on-failure -j 2 --timeout 300

test-asan: deps-test
	@cmake -S . -B $(ASAN_BUILD_DIR) -DCMAKE_BUILD_TYPE=$(CMAKE_BUILD_TYPE) \
		-DSNAPLORN_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD_DIR) -j $(JOBS)
	@cd $(ASAN_BUILD_DIR) && ctest --output-on-failure -j 2 --timeout 600

test-kwin:
	@scripts/install-deps.sh kwin
	@$(MAKE) --no-print-directory configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@cd $(BUILD_DIR) && ctest --output-on-failure --timeout 300 -L kwin

fuzz: deps-test
	@scripts/fuzz.sh

install: build
	@cmake --install $(BUILD_DIR)

package: deps-package configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target snaplorn snaplorn_desktop_files
	@cd $(BUILD_DIR) && cpack -G DEB

bench: deps-test configure
	@scripts/install-deps.sh bench
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@bench/run-all.sh $(BUILD_DIR)

soak: deps-test configure
	@scripts/install-deps.sh bench
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target soak_probe
	@bench/soak.sh $(BUILD_DIR)

clean:
	@rm -rf $(BUILD_DIR) $(ASAN_BUILD_DIR) build-fuzz
