# SPDX-License-Identifier: GPL-3.0-or-later
# Tiefenflug: `make run` and `make test` install what is missing, build, and run.
BUILD ?= build
JOBS  ?= $(shell nproc)
# Ninja prints one line per step and passes on the compiler's own warnings and errors. A build
# folder configured before keeps the generator it has; if that is Make, it runs without the
# "Entering directory" lines.
GENERATOR := $(if $(wildcard $(BUILD)/CMakeCache.txt),,-G Ninja)
MAKEFLAGS += --no-print-directory
# Two ways to configure the same build folder: the player alone (build packages only) or
# everything (tests, benchmarks, tools). Switching between them reconfigures in seconds and
# rebuilds nothing of the player.
PLAYER_ONLY := -DBUILD_TESTING=OFF -DTF_BUILD_BENCH=OFF -DTF_BUILD_TOOLS=OFF
EVERYTHING  := -DBUILD_TESTING=ON -DTF_BUILD_BENCH=ON -DTF_BUILD_TOOLS=ON
configure-with = @cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(1) >/dev/null

.PHONY: all deps player-deps configure configure-player build player run test bench keyframes \
        artwork package install clean

all: build

deps:
	@scripts/install-deps

player-deps:
	@scripts/install-deps --build-only

configure: deps
	$(call configure-with,$(EVERYTHING))

configure-player: player-deps
	$(call configure-with,$(PLAYER_ONLY))

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

# The player alone, from the build packages alone.
player: configure-player
	@cmake --build $(BUILD) -j$(JOBS) --target tiefenflug

# Without a display there is nothing to show: say so before installing or building anything.
run:
	@scripts/run-player --check
	@$(MAKE) player
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

# The package and the installation hold the player alone: they need the build packages only.
package: player
	@cd $(BUILD) && cpack -G DEB

install: player
	@cmake --install $(BUILD) --prefix $(or $(PREFIX),/usr/local)

clean:
	rm -rf $(BUILD) build-asan build-tsan build-keyframes-tool
