# Two words do everything: `make run` and `make test`. The rest are conveniences.
PREFIX ?= /usr/local

.PHONY: all deps build run install test asan bench fuzz fuzz-replay sample format tidy clean

SAMPLE := samples/Карта города.mp
FUZZER ?= fuzz_inflate
FUZZ_SECONDS ?= 600
# Warnings stop the build only when asked (CI does: make test WERROR=ON).
WERROR ?= OFF

all: build

deps:
	@scripts/install-deps

build: deps
	cmake --preset release -DZEM_WERROR=$(WERROR) >/dev/null
	cmake --build --preset release

run: build
	@scripts/run-window

# make install PREFIX=/usr/local: the program, its icon, menu entry and map file type; then the desktop's
# caches are refreshed where the tools exist (they are optional: a fresh login finds the files too).
install: build
	cmake --install build/release --prefix "$(PREFIX)"
	@command -v update-mime-database >/dev/null && update-mime-database "$(PREFIX)/share/mime" || true
	@command -v update-desktop-database >/dev/null && update-desktop-database "$(PREFIX)/share/applications" || true
	@command -v gtk-update-icon-cache >/dev/null && gtk-update-icon-cache -q -t "$(PREFIX)/share/icons/hicolor" || true

test: build
	scripts/run-tests release

asan: deps
	cmake --preset asan -DZEM_WERROR=$(WERROR) >/dev/null
	cmake --build --preset asan
	scripts/run-tests asan

bench: build
	@for b in build/release/bench/bench_*; do [ -x "$$b" ] && "$$b" || exit 1; done

# make fuzz FUZZER=fuzz_inflate FUZZ_SECONDS=600
fuzz: deps
	cmake --preset fuzz -DZEM_WERROR=$(WERROR) >/dev/null
	cmake --build --preset fuzz --target $(FUZZER)
	mkdir -p build/fuzz/corpus/$(FUZZER) build/fuzz/artifacts/
	build/fuzz/fuzz/$(FUZZER) -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 \
		-artifact_prefix=build/fuzz/artifacts/ build/fuzz/corpus/$(FUZZER) $(wildcard fuzz/seeds/$(FUZZER))

# Runs every fuzz target once over each of its committed seeds: a quick check that none of the inputs
# that once crashed or hung does so again.
fuzz-replay: deps
	cmake --preset fuzz -DZEM_WERROR=$(WERROR) >/dev/null
	cmake --build --preset fuzz
	@mkdir -p build/fuzz/artifacts; for d in fuzz/seeds/*/; do \
	  t=$$(basename "$$d"); echo "fuzz-replay: $$t"; \
	  build/fuzz/fuzz/$$t -runs=0 -timeout=10 -rss_limit_mb=2048 -artifact_prefix=build/fuzz/artifacts/ "$$d" 2>build/fuzz/$$t.log \
	    || { tail -40 build/fuzz/$$t.log; exit 1; }; \
	done

# Rebuilds the sample city from the OpenStreetMap extract (MOSCOW_JSON) and replaces the committed map.
MOSCOW_JSON ?= ../shared/data/moscow.json
sample: build
	build/release/samples/zemmap-make-sample $(MOSCOW_JSON) "$(SAMPLE)"

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# clang-tidy's bugprone and performance groups (.clang-tidy) over the sources the release build compiles.
tidy: build
	run-clang-tidy -quiet -p build/release '/(src|tests|bench|samples)/'

clean:
	rm -rf build
