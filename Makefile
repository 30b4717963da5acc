# The two set-up commands are `make run` and `make test`; see README.md.
BUILD       := build
ASAN_BUILD  := build-asan
BENCH_BUILD := build-release
CMAKE_GEN   := -G Ninja

.PHONY: all deps build run test test-asan bench clean fuzz

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD)

# On a machine without a display, plays the headless tour instead (its
# screenshots and saved photos go to $(BUILD)/tour/).
run: build
	@scripts/run-pelmora $(BUILD)

# The sanitizer build runs first so that the run ends with the summary of
# the full test set.
test: deps test-asan build
	ctest --test-dir $(BUILD) --output-on-failure --timeout 300

test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DPELMORA_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure --timeout 300 -LE gui

bench: deps
	@cmake -S . -B $(BENCH_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DPELMORA_BENCH=ON >/dev/null
	@cmake --build $(BENCH_BUILD) --target benchmarks
	@for b in $(BENCH_BUILD)/bench/*_bench; do echo "== $$b"; $$b || exit 1; done

# Each fuzz target runs FUZZ_SECONDS, starting from its committed corpus (the
# round trip also from the test pictures); new inputs gather in
# build-fuzz/corpus, findings in build-fuzz/crashes. The targets give every
# decode a budget of 256 MB, so a run that grows past 512 MB is a finding.
# AddressSanitizer keeps 256 MB of freed memory by default to catch uses after
# free; a quarter of that leaves the limit to the decoders.
FUZZ_BUILD   := build-fuzz
FUZZ_SECONDS ?= 60
FUZZERS      := bmp jpeg png gif tiff webp heif jxl roundtrip

fuzz:
	@scripts/install-deps fuzz
	@cmake -S tests/fuzz -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
	@cmake --build $(FUZZ_BUILD)
	@for f in $(FUZZERS); do \
	  echo "== fuzz_$$f ($(FUZZ_SECONDS) s)"; \
	  seeds=tests/fuzz/corpus/$$f; [ $$f = roundtrip ] && seeds="$$seeds tests/fixtures/images"; \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$f $(FUZZ_BUILD)/crashes/$$f; \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan_suppressions.txt ASAN_OPTIONS=quarantine_size_mb=64 \
	  $(FUZZ_BUILD)/fuzz_$$f -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=512 -print_final_stats=1 \
	    -artifact_prefix=$(FUZZ_BUILD)/crashes/$$f/ $(FUZZ_BUILD)/corpus/$$f $$seeds || exit 1; \
	done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)
