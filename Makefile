# Thin wrapper around CMake. Every target installs what it needs first (Debian 12, apt-get).
BUILD       ?= build
BENCH_BUILD ?= build-bench
FUZZ_BUILD  ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS        ?= $(shell nproc)

# Packages the build, the tests and the program need.
DEPS := cmake ninja-build g++ pkg-config qt6-base-dev qt6-svg-dev libsimpleini-dev libgtest-dev libgmock-dev \
        libbenchmark-dev poppler-utils fonts-dejavu-core fonts-liberation chromium xdg-utils \
        desktop-file-utils appstream dpkg-dev file
# The benchmarks build everything but run no browser; the fuzz build is the core alone.
BENCH_DEPS := cmake ninja-build g++ pkg-config qt6-base-dev qt6-svg-dev libsimpleini-dev libgtest-dev libgmock-dev libbenchmark-dev
FUZZ_DEPS := cmake ninja-build pkg-config libsimpleini-dev clang libclang-rt-14-dev

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps bench-deps fuzz-deps configure build run test package bench fuzz clean

all: build

# $(call install,PACKAGES): installs only what is missing; runs apt-get update first when it has to install.
define install
	@missing=$$(for p in $(1); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install,$(DEPS))

bench-deps:
	$(call install,$(BENCH_DEPS))

fuzz-deps:
	$(call install,$(FUZZ_DEPS))

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

# A Debian package of the program in $(BUILD) (hoopfall_<version>_<arch>.deb).
package: build
	cd $(BUILD) && cpack -G DEB

bench: bench-deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DHOOP_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target hoop_bench
	cd $(BENCH_BUILD) && QT_QPA_PLATFORM=offscreen ./bench/hoop_bench

fuzz: fuzz-deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHOOP_FUZZ=ON -DHOOP_UI=OFF -DHOOP_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@for t in fuzz_teams fuzz_picks fuzz_regions fuzz_journal; do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t; \
	  echo "== $$t ($(FUZZ_SECONDS) s)"; \
	  $(FUZZ_BUILD)/fuzz/$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 $(FUZZ_BUILD)/corpus/$$t fuzz/seeds/$$t || exit 1; \
	done

clean:
	rm -rf $(BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)
