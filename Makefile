# Two commands do everything on a fresh Debian 12 machine:
#   make run    install what is missing, build, start the program
#   make test   install what is missing, build, run every test suite
BUILD  := build
JOBS   := 2
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=RelWithDebInfo

PREFIX ?= /usr/local

.PHONY: all deps build run test bench fuzz install package clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)

run: build
	./$(BUILD)/qbn-preset-editor

test: deps
	bash tests/run_all.sh

bench: build
	cmake --build $(BUILD) -j$(JOBS) --target benchmarks gui_benchmarks fit_quality
	./$(BUILD)/benchmarks
	xvfb-run -a -s "-screen 0 1600x1200x24" ./$(BUILD)/gui_benchmarks
	./$(BUILD)/fit_quality

fuzz: deps
	FUZZ_SECONDS=$${FUZZ_SECONDS:-600} bash tests/run_all.sh --fuzz-only

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD)
