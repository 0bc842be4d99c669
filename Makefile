# The two commands: `make run` and `make test`.
.PHONY: all bootstrap configure build test run asan bench fuzz clean screenshots install package

JOBS ?= $(shell nproc)

all: build

bootstrap:
	@scripts/bootstrap

out/build/default/build.ninja: CMakeLists.txt CMakePresets.json
	cmake --preset default >/dev/null

configure: bootstrap
	@cmake --preset default >/dev/null

build: configure
	cmake --build --preset default -j $(JOBS)

test: build
	ctest --preset default

run: build
	@scripts/run

screenshots: build
	@scripts/screenshots

# PREFIX=/somewhere make install; make package writes out/package/quenchold_*.deb
PREFIX ?= /usr/local
install: build
	cmake --install out/build/default --prefix "$(PREFIX)"

package: build
	cmake --build --preset default --target package

asan: bootstrap
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan

bench: build
	@for b in out/bin/bench_*; do echo "== $$b"; $$b --benchmark_counters_tabular=true || exit 1; done

fuzz: bootstrap
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)
	@scripts/fuzz-smoke out/build/fuzz/bin $${FUZZ_SECONDS:-30}

clean:
	rm -rf out
