# Tiefenflug: `make run` and `make test` install what is missing, build, and run.
BUILD ?= build
JOBS  ?= $(shell nproc)
# Ninja prints one line per step and passes on the compiler's own warnings and errors. A build
# folder configured before keeps the generator it has; if that is Make, it runs without the
# "Entering directory" lines.
GENERATOR := $(if $(wildcard $(BUILD)/CMakeCache.txt),,-G Ninja)
MAKEFLAGS += --no-print-directory

.PHONY: all deps configure build run test bench keyframes artwork package install clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

# Without a display there is nothing to show: say so before building anything. Then only the
# player itself is built.
run:
	@scripts/run-player --check
	@scripts/install-deps --build-only
	@cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j$(JOBS) --target tiefenflug
	@scripts/run-player $(BUILD)/app/tiefenflug

test: build
	@scripts/run-tests $(BUILD)

# Figures for BENCHMARKS.md: renderer, decoder against tjbench, a whole zoom run, start-up,
# the casing-picture offset during drags, the screensaver's CPU against full screen.
bench: build
	@$(BUILD)/bench/engine/tf_engine_bench
	@$(BUILD)/bench/startup/tf_startup_bench 10
	@$(BUILD)/bench/drag/tf_drag_bench 8
	@$(BUILD)/bench/screensaver/tf_screensaver_bench 20 2

keyframes: deps
	@scripts/make-keyframes

artwork: build
	@$(BUILD)/tools/artwork/tf-artwork resources

package: build
	@cd $(BUILD) && cpack -G DEB

install: build
	@cmake --install $(BUILD) --prefix $(or $(PREFIX),/usr/local)

clean:
	rm -rf $(BUILD) build-asan build-tsan
