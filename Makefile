# Tiefenflug: `make run` and `make test` install what is missing, build, and run.
BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: all deps build run test bench keyframes artwork package install clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	@scripts/run-player $(BUILD)/app/tiefenflug

test: build
	@scripts/run-tests $(BUILD)

# Figures for BENCHMARKS.md: renderer, decoder against tjbench, a whole zoom run, start-up.
bench: build
	@$(BUILD)/bench/engine/tf_engine_bench
	@$(BUILD)/bench/startup/tf_startup_bench 10

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
