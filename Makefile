# Two words do everything: `make run` and `make test`. The rest are conveniences.
.PHONY: all deps build run test asan bench fuzz sample format clean

SAMPLE := samples/Карта города.mp
FUZZER ?= fuzz_inflate
FUZZ_SECONDS ?= 600

all: build

deps:
	@scripts/install-deps

build: deps
	cmake --preset release >/dev/null
	cmake --build --preset release

run: build
	@scripts/run-demo

test: build
	scripts/run-tests release

asan: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan
	scripts/run-tests asan

bench: build
	@for b in build/release/bench/bench_*; do [ -x "$$b" ] && "$$b" || exit 1; done

# make fuzz FUZZER=fuzz_inflate FUZZ_SECONDS=600
fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz --target $(FUZZER)
	mkdir -p build/fuzz/corpus/$(FUZZER) build/fuzz/artifacts/
	build/fuzz/fuzz/$(FUZZER) -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 \
		-artifact_prefix=build/fuzz/artifacts/ build/fuzz/corpus/$(FUZZER) $(wildcard fuzz/seeds/$(FUZZER))

# Rebuilds the sample city from the OpenStreetMap extract (MOSCOW_JSON) and replaces the committed map.
MOSCOW_JSON ?= ../shared/data/moscow.json
sample: build
	build/release/samples/zemmap-make-sample $(MOSCOW_JSON) "$(SAMPLE)"

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
