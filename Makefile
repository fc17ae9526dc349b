# Thin front over CMake.  `make demo` audits the shipped case study on a
# generated sample log; `make test` runs every test, once in a normal build
# and once under AddressSanitizer and UndefinedBehaviorSanitizer.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= 2
DISCLOSURES ?= 3000
SEED       ?= 1

.PHONY: all setup build demo test test-normal test-asan clean

all: build

setup:
	@bash scripts/setup.sh

build: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

demo: build
	$(BUILD)/hipaa-loggen --disclosures $(DISCLOSURES) --seed $(SEED) --output hipaa.db --force
	$(BUILD)/hipaa-audit

test: test-normal test-asan

test-normal: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

test-asan: setup
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DHIPAA_SANITIZE=ON \
	  -DHIPAA_BENCHMARKS=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=abort_on_error=1:detect_leaks=1 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --output-on-failure -j$(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
