# Entry points: make run, make test, make bench (and make fuzz for the fuzz targets);
# make install [PREFIX=DIR] and make package (Debian packages).
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
PACKAGE_BUILD ?= build-package
WIN_BUILD  ?= build-win
PREFIX     ?= /usr/local
JOBS       ?= $(shell nproc)
GENERATOR  := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

.PHONY: run test bench fuzz deps build build-asan build-win install package clean

deps:
	@scripts/install-deps

build: deps
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release
	@cmake --build $(BUILD) -j $(JOBS)

build-asan: deps
	@[ -f $(ASAN_BUILD)/CMakeCache.txt ] || cmake -S . -B $(ASAN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug \
	    -DZORBANIX_SANITIZE=ON -DZORBANIX_WITH_QT=OFF
	@cmake --build $(ASAN_BUILD) -j $(JOBS)

# The registry library, zorbanix-reg.exe and their tests for Windows (mingw-w64); the tests
# run under Wine.
build-win: deps
	@[ -f $(WIN_BUILD)/CMakeCache.txt ] || cmake -S . -B $(WIN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
	@cmake --build $(WIN_BUILD) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: no display (DISPLAY is not set); start it from a desktop session"; exit 1; fi
	@$(BUILD)/bin/zorbanix

test: build build-asan build-win
	@cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)
	@cd $(BUILD) && ctest --output-on-failure
	@cd $(WIN_BUILD) && ctest --output-on-failure

bench: deps
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release
	@cmake -S . -B $(BUILD) -DZORBANIX_BENCH=ON >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)
	@bench/run $(BUILD)

install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# A build of its own for /usr with Debian's build flags (all hardening; no debugging
# information, the packages are stripped), the game in /usr/games as Debian keeps
# games; then the packages and lintian's verdict.
package:
	@scripts/install-deps --package
	@[ -f $(PACKAGE_BUILD)/CMakeCache.txt ] || { \
	  export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_STRIP=-g; \
	  CXXFLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	  LDFLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
	  cmake -S . -B $(PACKAGE_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	    -DZORBANIX_GAME_BINDIR=games -DZORBANIX_TESTS=OFF; }
	@cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	@rm -f $(PACKAGE_BUILD)/packages/*.deb
	@cd $(PACKAGE_BUILD) && cpack
	@lintian --fail-on error $(PACKAGE_BUILD)/packages/*.deb
	@echo "make package: $$(ls $(PACKAGE_BUILD)/packages/*.deb | tr '\n' ' ')"

fuzz:
	@scripts/install-deps --fuzz
	@[ -f $(FUZZ_BUILD)/CMakeCache.txt ] || CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(GENERATOR) \
	    -DCMAKE_BUILD_TYPE=Debug -DZORBANIX_FUZZ=ON -DZORBANIX_TESTS=OFF -DZORBANIX_WITH_QT=OFF
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@echo "fuzz targets are in $(FUZZ_BUILD)/bin"

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD) $(WIN_BUILD)
