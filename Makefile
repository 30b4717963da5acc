# The two set-up commands are `make run` and `make test`; see README.md.
BUILD       := build
ASAN_BUILD  := build-asan
BENCH_BUILD := build-release
CMAKE_GEN   := -G Ninja

.PHONY: all deps build run test test-asan bench clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD)

run: build
	$(BUILD)/pelmora

# The sanitizer build runs first so that the run ends with the summary of
# the full test set.
test: deps test-asan build
	ctest --test-dir $(BUILD) --output-on-failure

test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DPELMORA_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -LE gui

bench: deps
	@cmake -S . -B $(BENCH_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DPELMORA_BENCH=ON >/dev/null
	@cmake --build $(BENCH_BUILD) --target benchmarks
	@for b in $(BENCH_BUILD)/bench/*_bench; do echo "== $$b"; $$b || exit 1; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD)
