# make        builds the program folder (build/i686/Vestrel)
# make run    installs what is missing, builds, starts Vestrel under Wine (Xvfb and a screenshot when headless)
# make test   installs what is missing, builds, runs every test
# make bench  installs what is missing, builds the benchmark program, prints the benchmark table (minutes)
ARCH ?= i686
BUILD := build/$(ARCH)

.PHONY: all program setup run test test-all bench clean

all: program

setup:
	@bash tools/setup.sh

$(BUILD)/build.ninja:
	cmake -G Ninja -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$(ARCH).cmake -DCMAKE_BUILD_TYPE=Release

program: $(BUILD)/build.ninja
	cmake --build $(BUILD)

run: setup
	@$(MAKE) --no-print-directory program
	@bash tools/run-program.sh $(BUILD)/Vestrel/Vestrel.exe

test: setup
	@$(MAKE) --no-print-directory program
	@bash tools/run-tests.sh $(BUILD)

test-all: setup
	@$(MAKE) --no-print-directory test ARCH=i686
	@$(MAKE) --no-print-directory test ARCH=x86_64

bench: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) --target vestrel_bench
	@python3 bench/run_bench.py --build $(BUILD)

clean:
	rm -rf build
