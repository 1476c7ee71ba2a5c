# Thin wrapper around CMake. Every target installs what it needs first (Debian 12, apt-get).
BUILD       ?= build
BENCH_BUILD ?= build-bench
FUZZ_BUILD  ?= build-fuzz
CORE_BUILD  ?= build-core
SAN_BUILD   ?= build-sanitize
FUZZ_SECONDS ?= 60
JOBS        ?= $(shell nproc)

# Packages the build, the tests and the program need.
DEPS := cmake ninja-build g++ qt6-base-dev qt6-svg-dev libsimpleini-dev libgtest-dev libgmock-dev \
        libbenchmark-dev poppler-utils fonts-dejavu-core fonts-liberation chromium chromium-driver python3-selenium xdg-utils \
        desktop-file-utils appstream dpkg-dev file lintian xvfb xdotool x11-utils x11-xserver-utils openbox \
        fonts-wine locales python3
# The benchmarks build everything but run no browser; the fuzz build is the core alone.
BENCH_DEPS := cmake ninja-build g++ qt6-base-dev qt6-svg-dev libsimpleini-dev libgtest-dev libgmock-dev libbenchmark-dev
FUZZ_DEPS := cmake ninja-build libsimpleini-dev clang libclang-rt-14-dev
# The formatter the tree's layout is checked with.
FORMAT_DEPS := clang-format-14 git
# The core-only and sanitizer builds: the core and its tests, no Qt.
CORE_DEPS := cmake ninja-build g++ libsimpleini-dev libgtest-dev libgmock-dev python3
# Sanitizer reports end the test that caused them; LeakSanitizer runs too.
SAN_ENV := ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_init_order=1 \
           UBSAN_OPTIONS=print_stacktrace=1

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps bench-deps fuzz-deps core-deps format-deps configure build run test core sanitize bench-build bench fuzz \
        format format-check package clean

all: build

# $(call install,PACKAGES): installs only what is missing; runs apt-get update first when it has to install.
define install
	@missing=$$(for p in $(1); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update && $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install,$(DEPS))

bench-deps:
	$(call install,$(BENCH_DEPS))

fuzz-deps:
	$(call install,$(FUZZ_DEPS))

core-deps:
	$(call install,$(CORE_DEPS))

format-deps:
	$(call install,$(FORMAT_DEPS))

$(BUILD)/build.ninja: CMakeLists.txt
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The pool is kept in the user's data folder, not in $(BUILD); ARGS="--pool DIR" picks another.
run: build
	cd $(BUILD) && ./hoopfall $(ARGS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The core alone, without Qt, and its tests: proves the core builds and passes with no window.
core: core-deps
	cmake -S . -B $(CORE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHOOP_UI=OFF
	cmake --build $(CORE_BUILD) -j $(JOBS)
	cd $(CORE_BUILD) && ctest --output-on-failure -j $(JOBS)

# The core tests under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: core-deps
	cmake -S . -B $(SAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DHOOP_UI=OFF -DHOOP_SANITIZE=ON
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && $(SAN_ENV) ctest --output-on-failure -j $(JOBS)

# A Debian package of the program in $(BUILD) (hoopfall_<version>-<revision>_<arch>.deb); the tests
# check it with lintian.
package: build
	cd $(BUILD) && cpack -G DEB

# The benchmarks in a Release build; bench-build only builds them (CI: -O3 warns where -O2 does not).
bench-build: bench-deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DHOOP_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target hoop_bench

bench: bench-build
	cd $(BENCH_BUILD) && QT_QPA_PLATFORM=offscreen ./bench/hoop_bench

fuzz: fuzz-deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHOOP_FUZZ=ON -DHOOP_UI=OFF -DHOOP_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@for t in fuzz_teams fuzz_picks fuzz_regions fuzz_journal fuzz_spreadsheet; do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t; \
	  echo "== $$t ($(FUZZ_SECONDS) s)"; \
	  $(FUZZ_BUILD)/fuzz/$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 $(FUZZ_BUILD)/corpus/$$t fuzz/seeds/$$t || exit 1; \
	done

# Lays out every tracked C++ file as .clang-format says; format-check fails, naming the files,
# where the layout differs.
FORMAT_FILES = git ls-files -z -- '*.cpp' '*.h'
format: format-deps
	$(FORMAT_FILES) | xargs -0 clang-format-14 -i

format-check: format-deps
	$(FORMAT_FILES) | xargs -0 clang-format-14 --dry-run -Werror

clean:
	rm -rf $(BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) $(CORE_BUILD) $(SAN_BUILD)
