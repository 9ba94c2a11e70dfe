# Two entry points for a fresh Debian machine: `make run` and `make test`.
BUILD ?= build
JOBS ?= 2
PACKAGES = cmake g++ make pkg-config googletest libgtest-dev libbenchmark-dev \
           libfox-1.6-dev libx11-dev xvfb xdotool imagemagick x11-apps fonts-dejavu-core clang

.PHONY: all deps configure build run test fuzz bench clean

all: build

# Installs only what is missing; needs root or sudo the first time.
deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  SUDO=$$( [ "$$(id -u)" = 0 ] || echo sudo ); \
	  $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	./$(BUILD)/marvanto

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

clean:
	rm -rf $(BUILD) build-release build-fuzz

FUZZ_SECONDS ?= 60
# The reader fuzzer (clang, libFuzzer, address and undefined sanitizers).
fuzz: deps
	FUZZ_SECONDS=$(FUZZ_SECONDS) fuzz/run.sh

# Release builds for the figures: self-play throughput and network latency.
bench: deps
	cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DMARVANTO_GUI=OFF
	cmake --build build-release -j$(JOBS) --target marvanto-selfplay marvanto-bench
	./build-release/marvanto-selfplay --games 2000 --seed 1 --seats 4
	./build-release/marvanto-selfplay --games 2000 --seed 1 --seats 2
	./build-release/marvanto-selfplay --games 2000 --seed 1 --opponent random
	./build-release/marvanto-bench
