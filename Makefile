# Two commands do everything on a fresh Debian machine:
#   make run   - install what is missing, build, start the program
#   make test  - install what is missing, build, run every test headless
BUILD ?= build
JOBS ?= $(shell nproc)
PACKAGES = build-essential cmake qt6-base-dev libgl-dev libglx-dev libgtest-dev libgmock-dev \
           libbenchmark-dev libfftw3-dev pkg-config fonts-liberation2 xvfb

.PHONY: run test bench build deps clean format

deps:
	@./tools/install-deps $(PACKAGES)

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./tools/start-program $(BUILD)/src/quarvel

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	QT_QPA_PLATFORM=offscreen ./tools/run-benchmarks $(BUILD)/bench

format:
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
