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
# What run and bench start: the 32-bit program, unless ARCH names one or the kernel runs no 32-bit
# programs (Wine's 32-bit loader then cannot start). Asked when the recipe runs, after the set-up.
RUN_ARCH = $(if $(filter command line,$(origin ARCH)),$(ARCH),$(shell /usr/lib/wine/wine --version >/dev/null 2>&1 && echo i686 || echo x86_64))

.PHONY: all program setup run test dist bench clean

all: program

setup:
	@bash tools/setup.sh

$(BUILD)/build.ninja:
	cmake -G Ninja -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$(ARCH).cmake -DCMAKE_BUILD_TYPE=Release

program: $(BUILD)/build.ninja
	cmake --build $(BUILD)

run: setup
	@$(MAKE) --no-print-directory program ARCH=$(RUN_ARCH)
	@bash tools/run-program.sh build/$(RUN_ARCH)/Vestrel/Vestrel.exe

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

bench: setup
	@$(MAKE) --no-print-directory build/$(RUN_ARCH)/build.ninja ARCH=$(RUN_ARCH)
	cmake --build build/$(RUN_ARCH) --target vestrel_bench
	@python3 bench/run_bench.py --build build/$(RUN_ARCH)

clean:
	rm -rf build
