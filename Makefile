# Two commands do everything on a fresh Debian 12 machine: `make run` and `make test`.
BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all setup configure build run test bench fuzz clean

all: build

setup:
	@bash scripts/setup.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: setup $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "media: no display found (set DISPLAY, or run it under Xvfb: xvfb-run make run)"; exit 1; fi
	$(BUILD)/bin/media

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: setup
	cmake -S . -B $(BUILD)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DMEDIA_BUILD_BENCH=ON -DMEDIA_BUILD_TESTS=OFF
	cmake --build $(BUILD)-bench -j $(JOBS)
	bash bench/run.sh $(BUILD)-bench

FUZZ_SECONDS ?= 60
fuzz: setup
	CC=clang CXX=clang++ cmake -S . -B $(BUILD)-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMEDIA_BUILD_FUZZ=ON -DMEDIA_BUILD_TESTS=OFF
	cmake --build $(BUILD)-fuzz -j $(JOBS) --target fuzz-all
	bash fuzz/run.sh $(BUILD)-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-fuzz
