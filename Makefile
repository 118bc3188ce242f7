# Two commands do everything on a fresh Debian 12 machine: `make run` and `make test`.
#   make install [PREFIX=...] [DESTDIR=...]   install for the current user (default prefix ~/.local), stripped
#   make uninstall [PREFIX=...] [DESTDIR=...] take away exactly what `make install` put under that prefix; it needs
#                                             no build (the record is in <prefix>/lib/media/installed-files)
#   make package                              the Debian package, $(BUILD)/media_<version>_<arch>.deb
BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?=
PREFIX ?= $(HOME)/.local
DESTDIR ?=

.PHONY: all setup configure build run install uninstall package tests-built test check bench fuzz clean

all: build

# Building and running need only the Build and Run packages; the targets that test, measure, fuzz or package ask
# for theirs.
SETUP_SECTIONS = build run
test check tests-built bench fuzz: SETUP_SECTIONS =
package: SETUP_SECTIONS = build run package
setup:
	@bash scripts/setup.sh $(SETUP_SECTIONS)

# A fresh build folder builds the tests only for `make test` and `make check`, whose packages the others do not install.
BUILD_TESTS = OFF
test check tests-built: BUILD_TESTS = ON
$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DMEDIA_BUILD_TESTS=$(BUILD_TESTS) $(CMAKE_FLAGS)

configure: setup $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "media: no display found (set DISPLAY, or run it under Xvfb: xvfb-run make run)"; exit 1; fi
	$(BUILD)/bin/media

install: build
	DESTDIR="$(DESTDIR)" bash scripts/install.sh install $(BUILD) "$(PREFIX)"

uninstall:
	DESTDIR="$(DESTDIR)" bash scripts/install.sh uninstall "$(PREFIX)"

package: build
	cd $(BUILD) && cpack -G DEB

# A build folder configured without the tests gets them.
tests-built: configure
	@grep -q '^MEDIA_BUILD_TESTS:BOOL=ON$$' $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) -DMEDIA_BUILD_TESTS=ON
	cmake --build $(BUILD) -j $(JOBS)

# Everything: every tier of tests (tests/CMakeLists.txt names them), the naming rule and the repeats.
test: tests-built
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The quick suite between commits, by label: plain code, widgets, real playback, format and layers. The whole-program
# scripts (e2e), the repeats and the naming rule (a second parse of every file) are left to `make test`. One label
# alone: `cd build && ctest -L widgets`; one test: `ctest -R '^MenuCommands\.'`.
CHECK_LABELS = ^(unit|widgets|playback|style)$$
check: tests-built
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -L '$(CHECK_LABELS)' -E '^naming$$'

bench: setup
	cmake -S . -B $(BUILD)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DMEDIA_BUILD_BENCH=ON -DMEDIA_BUILD_TESTS=OFF
	cmake --build $(BUILD)-bench -j $(JOBS)
	bash bench/run.sh $(BUILD)-bench

FUZZ_SECONDS ?= 60
fuzz: setup
	CC=clang CXX=clang++ cmake -S . -B $(BUILD)-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMEDIA_BUILD_FUZZ=ON -DMEDIA_BUILD_TESTS=OFF
	cmake --build $(BUILD)-fuzz -j $(JOBS) --target fuzz-all
	bash fuzz/run.sh $(BUILD)-fuzz $(FUZZ_SECONDS)

# Everything built goes, except the playlist `make run` keeps beside the program ($(BUILD)/bin/default.lst).
clean:
	@if [ -d $(BUILD) ]; then \
	  find $(BUILD) -mindepth 1 -maxdepth 1 ! -name bin -exec rm -rf {} +; \
	  [ ! -d $(BUILD)/bin ] || find $(BUILD)/bin -mindepth 1 -maxdepth 1 ! -name default.lst -exec rm -rf {} +; \
	  rmdir $(BUILD)/bin $(BUILD) 2>/dev/null || true; \
	fi
	rm -rf $(BUILD)-bench $(BUILD)-fuzz
