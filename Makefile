# Thin front over CMake.  `make demo` audits the shipped case study on a
# generated sample log and reports a verdict per disclosure; `make test`
# runs every test, once in a normal build and once under AddressSanitizer
# and UndefinedBehaviorSanitizer; `make fuzz` runs every fuzz target for
# FUZZ_SECONDS under libFuzzer (a clang build).
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= 2
DISCLOSURES ?= 3000
SEED       ?= 1
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?= policy decls term value_encoding csv_reader report_writers

# The programs, without the tests, benchmarks and fuzz replays.
PROGRAMS := hipaa-audit hipaa-loggen hipaa-import hipaa-export hipaa-lint hipaa-report

.PHONY: all setup build programs demo test test-normal test-asan fuzz clean

all: build

setup:
	@bash scripts/setup.sh

build: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

programs: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j$(JOBS) --target $(PROGRAMS)

# The audit's whole answer is one formula, kept in audit-residual.txt; the
# report then gives every disclosure of a sample log with a few violations
# its own verdict.  hipaa-report exits with 1 when it finds violations,
# which is what the sample is for.  Only the programs are built; the tests
# are built by `make test`.
demo: programs
	$(BUILD)/hipaa-loggen --disclosures $(DISCLOSURES) --seed $(SEED) --output hipaa.db --force
	$(BUILD)/hipaa-audit > audit-residual.txt
	@echo "hipaa-audit: time line and residual formula in audit-residual.txt ($$(wc -c < audit-residual.txt) bytes)"
	$(BUILD)/hipaa-loggen --disclosures $(DISCLOSURES) --seed $(SEED) --violations 0.01 \
	  --output sample.db --truth sample-truth.csv --force
	$(BUILD)/hipaa-report --db sample.db --out report || [ $$? -eq 1 ]
	@echo "Open report/summary.html in a browser; every verdict is in report/verdicts.csv."

test: test-normal test-asan

test-normal: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

test-asan: setup
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DHIPAA_SANITIZE=ON \
	  -DHIPAA_BENCHMARKS=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=abort_on_error=1:detect_leaks=1 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --output-on-failure -j$(JOBS)

# Each target starts from its seed corpus (fuzz/corpus/<name>) and keeps
# what it finds in $(FUZZ_BUILD)/corpus/<name>.  A crash, a sanitizer report
# or a broken property stops with an error and leaves the reproducer in
# fuzz/regressions/<name>/, where the ordinary test run replays it.
fuzz: setup
	@cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++ -DHIPAA_FUZZ=ON -DHIPAA_BENCHMARKS=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j$(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	@for target in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$target fuzz/regressions/$$target; \
	  echo "fuzz: $$target for $(FUZZ_SECONDS) s"; \
	  TZ=UTC ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    $(FUZZ_BUILD)/fuzz_$$target -max_total_time=$(FUZZ_SECONDS) -timeout=60 \
	    -print_final_stats=1 -artifact_prefix=fuzz/regressions/$$target/ \
	    $(FUZZ_BUILD)/corpus/$$target fuzz/corpus/$$target || exit 1; \
	done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
