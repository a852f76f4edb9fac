# Two commands do everything on a fresh Debian machine:
#   make run   - install what is missing, build, start the program
#   make test  - install what is missing, build, run every test headless
# and three more check robustness:
#   make release   - compile the Release configuration with warnings as errors
#   make sanitize  - build and run the tests under the address and undefined-behaviour sanitizers
#   make fuzz      - build the libFuzzer targets with clang and run each FUZZ_SECONDS seconds
# and one measures:
#   make bench     - build the benchmarks optimised (Release, -O3) in their own folder, run them all
# and four deliver:
#   make install   - build the programs and install them with their desktop files (PREFIX, DESTDIR)
#   make package   - the Debian package of the Release build (CPack), in build-release
#   make check-package - the desktop files, the package (lintian) and the programs run from it
#   make docs      - the user guide's screenshots, taken from the real program on a virtual display
BUILD ?= build
BENCH_BUILD ?= build-bench
RELEASE_BUILD ?= build-release
SAN_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
JOBS ?= $(shell nproc)
WERROR ?= ON
FUZZ_SECONDS ?= 60
PREFIX ?= /usr/local
DESTDIR ?=
PACKAGES = build-essential cmake qt6-base-dev qt6-svg-dev qt6-serialport-dev libgl-dev libglx-dev libgtest-dev \
           libgmock-dev libbenchmark-dev libedf-dev libfftw3-dev pkg-config fonts-liberation2 xvfb python3 locales
# The window tests and the companion's tests run once more under a locale with a decimal comma.
TEST_LOCALE = de_DE.UTF-8
PACKAGE_PACKAGES = dpkg-dev lintian desktop-file-utils appstream shared-mime-info libglib2.0-bin
DOCS_PACKAGES = xvfb xdotool imagemagick x11-utils
# The first-picture benchmark answers the program's questions with xdotool on an Xvfb display.
BENCH_PACKAGES = xvfb xdotool
FUZZ_PACKAGES = build-essential cmake qt6-base-dev libedf-dev clang libclang-rt-14-dev
# Any sanitizer report ends the process with a failure, leaks included.
SAN_ENV = ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1 \
          UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

.PHONY: run test bench build configure release sanitize fuzz deps clean format install package \
        check-package docs

deps:
	@./tools/install-deps $(PACKAGES)
	@./tools/ensure-locale $(TEST_LOCALE)

# Configured on every build (cheap when nothing changed), so WERROR=OFF on the command line takes
# effect in a folder configured before.
configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARVEL_WERROR=$(WERROR)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Only the program and the libraries it links; the tests and benchmarks wait for make test/bench.
# FILE=path opens a recording at start, e.g. make run FILE=demo/rest_and_stimuli.bin
run: configure
	cmake --build $(BUILD) -j $(JOBS) --target quarvel
	./tools/start-program $(BUILD)/src/quarvel $(FILE)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Timings of an unoptimised or debug-info build say little, so the benchmarks get a folder of
# their own in the Release configuration; only they are built there (the spectrum benchmark
# borrows the tests' support library). The recording pace runs a minute per rate on an X display
# of its own; QUARVEL_PACE_SECONDS=5 (on the command line or in the environment) makes that a
# quick run.
bench: deps
	@./tools/install-deps $(BENCH_PACKAGES)
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DQUARVEL_TESTS=ON -DQUARVEL_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target benchmarks
	QT_QPA_PLATFORM=offscreen ./tools/run-benchmarks $(BENCH_BUILD)/bench

release: deps
	cmake -S . -B $(RELEASE_BUILD) -DCMAKE_BUILD_TYPE=Release -DQUARVEL_WERROR=ON \
	      -DQUARVEL_TESTS=OFF -DQUARVEL_BENCH=OFF
	cmake --build $(RELEASE_BUILD) -j $(JOBS)

# Debug: quicker to compile than an optimised build, and the asserts stay on.
sanitize: deps
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUARVEL_SANITIZE=ON -DQUARVEL_BENCH=OFF
	$(SAN_ENV) cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && $(SAN_ENV) QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

fuzz:
	@./tools/install-deps $(FUZZ_PACKAGES)
	cmake -S fuzz -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	./tools/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Only what is installed is built: the programs and the compressed manual pages.
install: configure
	cmake --build $(BUILD) -j $(JOBS) --target quarvel quarvel-convert compressed_docs
	DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX)

# The package comes from the Release build of make release (no tests, no benchmarks).
package: release
	cd $(RELEASE_BUILD) && cpack -G DEB

check-package: package
	@./tools/install-deps $(PACKAGE_PACKAGES)
	./tools/check-package $(RELEASE_BUILD)

docs: configure
	@./tools/install-deps $(DOCS_PACKAGES)
	cmake --build $(BUILD) -j $(JOBS) --target quarvel make_demo
	./tools/make-screenshots $(BUILD)/src/quarvel docs/guide

format:
	find src tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(BENCH_BUILD) $(RELEASE_BUILD) $(SAN_BUILD) $(FUZZ_BUILD)
