# The two commands: `make run` plays the game, `make test` builds and runs every test.
# Both install what they need from Debian's packages first (only what is missing).
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps test-deps configure build checked run test fuzz prove rechecks screens soak install uninstall package clean web web-serve web-test

all: build

deps:
	@bash scripts/install-deps.sh

# What only the tests need on top (clang and libFuzzer, for the checked build).
test-deps:
	@bash scripts/install-deps.sh --test

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD) && ./pumko

# The checked build in $(BUILD)/checked: clang with AddressSanitizer, UndefinedBehaviorSanitizer
# and _GLIBCXX_ASSERTIONS, and the fuzzers. make test runs the replays, a short soak and a few
# seconds of each fuzzer there.
checked: test-deps build
	@bash tests/checked/build.sh $(CURDIR) $(CURDIR)/$(BUILD)/checked $(JOBS)

# After the tests, the replay coverage report: how often each kind of event happens over all
# the recordings the tests have just replayed.
test: checked
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(BUILD) && ./autoplay --coverage $(CURDIR)/assets/recordings

# The automatic player searches every area (with the witch a player meets there) and the plans
# that use everything, and rewrites every recording the tests replay.
prove: build
	cd $(BUILD) && ./autoplay --prove $(CURDIR)/assets/recordings

# Every recording's checkpoints taken again from its own controls, after a change to the state's
# fields or to the art that leaves play as it was (make prove searches the areas anew).
rechecks: build
	cd $(BUILD) && ./autoplay --recheck $(CURDIR)/assets/recordings

# Pictures of every screen (logo, title, title card, play, level end, death, game over, lair,
# ending) from the software back end, in build/screen-pictures/.
screens: build
	cd $(BUILD) && ./screens screen-pictures

# Every fuzzer for FUZZ_SECONDS each, from its seeds and what earlier runs found (kept in
# $(BUILD)/checked/fuzz/corpus/): executions, coverage and findings per fuzzer.
FUZZ_SECONDS ?= 60
fuzz: checked
	@bash tests/fuzz/run.sh --keep $(CURDIR)/$(BUILD)/checked $(FUZZ_SECONDS)

# One million frames of random play under AddressSanitizer and UndefinedBehaviorSanitizer.
soak: deps
	@cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPUMKO_SANITIZE=ON >/dev/null
	@cmake --build build-sanitize --target soak -j $(JOBS)
	mkdir -p build-sanitize/soak-run && cd build-sanitize/soak-run && \
	  ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ../soak 1000000 2026 $(CURDIR)/assets/recordings

# The mutation check: each one-line rule change of tools/mutants/mutants.txt applied on its own to
# a scratch copy (build-mutants/, rebuilt incrementally with ccache) and tested until the first
# failure; prints the share caught and the survivors. Not part of make test: it takes long.
# MUTANTS="--only 12,40-45", "--filter hero" or "--resume" picks what runs.
.PHONY: mutants
mutants: deps
	python3 tools/mutants/run.py $(MUTANTS)

# Installs the game under PREFIX (/usr/local unless given), inside DESTDIR when set:
#   make install PREFIX=/usr DESTDIR=/tmp/root
# `make uninstall` (same PREFIX and DESTDIR) removes what the last install put.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

uninstall:
	cmake --build $(BUILD) --target uninstall

# The Debian package: build/pumko_VERSION_ARCH.deb (install it with apt-get install ./build/pumko_*.deb).
package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) build-sanitize

# The browser build: build-web/site/ is the whole page, for any static web host. Its libraries are
# built once from Debian's sources into build-web/deps/. None of it is needed by the targets above.
web:
	@NATIVE_BUILD=$(CURDIR)/$(BUILD) bash scripts/web/make-web.sh

web-serve: web
	python3 -m http.server 8023 --bind 127.0.0.1 --directory build-web/site

# The page in headless Chromium, and every recording replayed by the browser build under Node.
web-test: web
	@bash scripts/web/test.sh
