# Two entry points for a fresh Debian machine: `make run` and `make test`.
BUILD ?= build
JOBS ?= 2
PACKAGES = cmake g++ make pkg-config googletest libgtest-dev libbenchmark-dev \
           libfox-1.6-dev libx11-dev xvfb xdotool imagemagick x11-apps fonts-dejavu-core clang \
           dpkg-dev file desktop-file-utils appstream lintian man-db openbox \
           libsodium-dev magic-wormhole-transit-relay xclip

.PHONY: all deps configure build run test sanitize paced-soak full-game screenshot fuzz bench expert-match clean \
        install package install-check

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

# Installs under PREFIX; DESTDIR=folder stages the installation there.
PREFIX ?= /usr/local
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# The Debian package, marvanto_<version>_<arch>.deb, in $(BUILD).
package: build
	cd $(BUILD) && cpack
	@ls $(BUILD)/marvanto_*.deb

# Changes this machine: installs the package with dpkg, starts the game from
# the PATH under Xvfb, removes the package and checks that nothing is left.
install-check: package
	$(XVFB) tests/package/install_check.sh $$(ls -t $(BUILD)/marvanto_*.deb | head -1) backgrounds/maracas-beach1.jpg

# Every test again, with the address and undefined-behaviour sanitizers,
# but for the scripts that drive the whole program (label "program").
sanitize: deps
	cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
	cmake --build build-sanitize -j$(JOBS)
	cd build-sanitize && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j$(JOBS) -LE program

# The paced self-play at length: games on the table's pace with reneed
# calls, takeovers and stray actions arriving while computer moves wait,
# across seat counts and rules, and network games on the in-memory network
# with a process lost during a wait; any stall, violation, divergence or
# unfinished game fails.
PACED_GAMES ?= 5000
PACED_NETWORK_GAMES ?= 1000
paced-soak: build
	./$(BUILD)/marvanto-selfplay --paced --games $(PACED_GAMES) --seats 4 --seed 41
	./$(BUILD)/marvanto-selfplay --paced --games $(PACED_GAMES) --seats 2 --seed 42 --rules 5,1,2,7,1,0,2,1
	./$(BUILD)/marvanto-selfplay --paced --games $(PACED_GAMES) --seats 4 --seed 43 --rules 3,0,1,7,3,1,0,0 --opponent random
	./$(BUILD)/marvanto-selfplay --paced --games 20 --seats 4 --seed 44 --players expert,standard --samples 6
	./$(BUILD)/marvanto-selfplay-memnet --paced --network 3 --computers 1 --drop 2@400 --rejoin 2@25 --games $(PACED_NETWORK_GAMES) --seed 45
	./$(BUILD)/marvanto-selfplay-memnet --paced --network 2 --computers 2 --drop 1@400 --games $(PACED_NETWORK_GAMES) --seed 46
	./$(BUILD)/marvanto-selfplay-memnet --paced --network 3 --computers 1 --drop 0@400 --games $(PACED_NETWORK_GAMES) --seed 47

XVFB = xvfb-run -a -s "-screen 0 1024x768x24 -noreset"
# A screen that holds the large table.
XVFB_LARGE = xvfb-run -a -s "-screen 0 1600x1300x24 -noreset"
# A whole game against the computer under Xvfb, played by clicking as a
# person would, to "Play again?" and the high score table: several minutes.
full-game: build
	$(XVFB) tests/ui/full_game.sh $(BUILD)/marvanto

# Retakes docs/screenshot.png from the real program.
screenshot: build
	tools/screenshot.sh $(BUILD)/marvanto

clean:
	rm -rf $(BUILD) build-release build-fuzz build-sanitize

FUZZ_SECONDS ?= 60
# The reader and session fuzzers (clang, libFuzzer, address and undefined
# sanitizers), FUZZ_SECONDS each.
fuzz: deps
	FUZZ_SECONDS=$(FUZZ_SECONDS) fuzz/run.sh

MATCH_GAMES ?= 2000
# The Expert's strength and speed, in a Release build: matches of MATCH_GAMES
# games against the standard players (four seats, two seats, with a standard
# partner, and the omniscient ceiling), each on both cores, then its decision
# times by hand size on one core. Some hours.
expert-match: deps
	cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release
	cmake --build build-release -j$(JOBS) --target marvanto-selfplay marvanto-expert-bench
	tools/expert_match.sh build-release/marvanto-selfplay $(MATCH_GAMES)
	./build-release/marvanto-expert-bench 40

# Release builds for the figures: self-play throughput, network latency,
# and under Xvfb the frame costs, start-up time and memory of the program.
bench: deps
	cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release
	cmake --build build-release -j$(JOBS) --target marvanto-selfplay marvanto-bench marvanto-render-bench marvanto x11_probe
	./build-release/marvanto-selfplay --games 2000 --seed 1 --seats 4
	./build-release/marvanto-selfplay --games 2000 --seed 1 --seats 2
	./build-release/marvanto-selfplay --games 2000 --seed 1 --opponent random
	tests/support/test_relay.sh start build-release/bench_relay
	MARVANTO_RELAY=$$(cat build-release/bench_relay/address) ./build-release/marvanto-bench; \
	  status=$$?; tests/support/test_relay.sh stop build-release/bench_relay; exit $$status
	$(XVFB_LARGE) ./build-release/marvanto-render-bench
	$(XVFB_LARGE) tests/ui/startup_bench.sh build-release/marvanto build-release/tests/ui/x11_probe
