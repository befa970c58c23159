# make        builds the program folder (build/i686/Vestrel)
# make run    installs what is missing, builds, starts Vestrel under Wine (Xvfb and a screenshot when headless)
# make test   installs what is missing, builds both programs (32 and 64-bit), runs every test of each
#             (make test ARCH=i686 tests one of them)
# make dist   builds the installer and the portable zip of both programs into build/<arch>/dist
#             (make dist ARCH=x86_64 packages one of them)
# make bench  installs what is missing, builds the benchmark program, prints the benchmark table (minutes)
ifeq ($(origin ARCH),command line)
TEST_ARCHS := $(ARCH)
else
TEST_ARCHS := i686 x86_64
endif
ARCH ?= i686
BUILD := build/$(ARCH)

.PHONY: all program setup run test dist bench clean

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
	@set -e; for arch in $(TEST_ARCHS); do \
	    $(MAKE) --no-print-directory program ARCH=$$arch; \
	    bash tools/run-tests.sh build/$$arch; \
	done

dist: setup
	@set -e; for arch in $(TEST_ARCHS); do \
	    $(MAKE) --no-print-directory build/$$arch/build.ninja ARCH=$$arch; \
	    cmake --build build/$$arch --target dist; \
	done

bench: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) --target vestrel_bench
	@python3 bench/run_bench.py --build $(BUILD)

clean:
	rm -rf build
