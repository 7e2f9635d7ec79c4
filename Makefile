# The two commands: `make run` plays the game, `make test` builds and runs every test.
# Both install what they need from Debian's packages first (only what is missing).
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test prove soak clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD) && ./pumko

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The automatic player searches every area and writes the recordings the tests replay.
prove: build
	cd $(BUILD) && ./autoplay --prove $(CURDIR)/assets/recordings

clean:
	rm -rf $(BUILD)
