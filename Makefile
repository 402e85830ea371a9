# The README's commands are `./make play` and `./make test`: the script
# `make` beside this file first installs make and the packages the goal needs
# (scripts/setup), then runs this Makefile. Every target that needs packages
# installs what is missing of its set: setup-play for building and playing,
# setup (everything) for the rest.
FUZZ_SECONDS ?= 300
FUZZ_SHORT_SECONDS ?= 10

.PHONY: setup setup-play setup-web build test build-asan test-asan build-tsan test-tsan fuzz-short bench \
        fuzz fuzz-build play web web-serve windows windows-check fresh-check install package

setup:
	@bash scripts/setup test

setup-play:
	@bash scripts/setup play

setup-web:
	@bash scripts/setup web

# Everything in the default build: the game, the tests, tools and benchmarks.
build: setup
	cmake --preset default -DQUARRELO_TESTS=ON
	cmake --build --preset default

# The formatting check (scripts/check-format), then the whole suite twice (the
# normal build, then AddressSanitizer with UndefinedBehaviorSanitizer halting
# on the first report), the sound and mixer tests under ThreadSanitizer, the
# Windows build check and short fuzz runs. Everything is built first, then
# run; CTest takes the tests in a random order (the presets' scheduleRandom).
# The normal build's suite holds the browser test (label web), which plays
# the browser build (make web) in headless Chromium; the sanitizer run leaves
# it out, as the page is the same.
test: setup
	bash scripts/check-format
	@echo "make test: building the game, the tests, the browser build and the sanitizer, Windows and fuzz builds"
	$(MAKE) --no-print-directory build web build-asan build-tsan windows-check fuzz-short-build
	@echo "make test: running the tests"
	ctest --preset default
	$(RUN_ASAN)
	$(RUN_TSAN)
	$(MAKE) --no-print-directory fuzz-short-run

SAN_ENV = ASAN_OPTIONS=halt_on_error=1:abort_on_error=0:detect_leaks=1 \
          LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
          UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
          TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

RUN_ASAN = $(SAN_ENV) ctest --preset asan -LE "valgrind|web"
RUN_TSAN = $(SAN_ENV) ctest --preset tsan -L "mixer|sound"

build-asan: setup
	cmake --preset asan
	cmake --build --preset asan

test-asan: build-asan
	$(RUN_ASAN)

build-tsan: setup
	cmake --preset tsan
	cmake --build --preset tsan --target dsound_tests sound_test

test-tsan: build-tsan
	$(RUN_TSAN)

HAVE_FUZZER_RUNTIME = ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1
NO_FUZZER_RUNTIME = echo "clang's fuzzer runtime is not installed: short fuzz runs skipped"

fuzz-short: fuzz-short-build fuzz-short-run

.PHONY: fuzz-short-build fuzz-short-run
fuzz-short-build:
	@if $(HAVE_FUZZER_RUNTIME); then $(MAKE) --no-print-directory fuzz-build; else $(NO_FUZZER_RUNTIME); fi

fuzz-short-run:
	@if $(HAVE_FUZZER_RUNTIME); then bash scripts/run-fuzzers $(FUZZ_SHORT_SECONDS); \
	else $(NO_FUZZER_RUNTIME); fi

# One table of every measured figure beside its target, then one
# "bench: <row> <value> <unit> target <target> <met|missed>" line per row.
# BENCH_DETAILS=1 also runs each area's Google Benchmark executable after it.
# The browser rows need the page and its marked builds (bench/web/).
bench: build web
	cmake --build --preset web --target quarrelo_web_bench
	build/default/bench/report/quarrelo_bench_report
	@if [ -n "$(BENCH_DETAILS)" ]; then \
	  for b in build/default/benchmarks/*; do echo "== $$b"; "$$b" || exit 1; done; \
	fi

fuzz-build: setup
	cmake --preset fuzz
	cmake --build --preset fuzz

fuzz: fuzz-build
	bash scripts/run-fuzzers $(FUZZ_SECONDS)

# Builds the game alone and runs it from a folder that holds the binary and a
# copy of the assets, so they load by plain name and Log.txt lands beside
# them; ARGS are the game's options (ARGS="--computer right"). A build
# folder configured here first leaves the tests out (their packages come
# with `make test`, which turns them on); one configured with them keeps
# them.
play: setup-play
	@echo "make play: building the game"
	cmake --preset default $(if $(wildcard build/default/CMakeCache.txt),,-DQUARRELO_TESTS=OFF)
	cmake --build --preset default --target Quarrelo
	rm -rf build/default/play && mkdir -p build/default/play
	cp build/default/Quarrelo assets/* build/default/play/
	@echo "make play: starting the game"
	cd build/default/play && ./Quarrelo $(ARGS)

# The game in a browser, built with Debian's Emscripten: build/web/ holds the
# page (index.html), the program (quarrelo.js, quarrelo.wasm) and the game's
# pictures and sounds, ready for any static web server as they are.
web: setup-web
	@echo "make web: building the game for a browser into build/web/"
	cmake --preset web
	cmake --build --preset web

# Serves build/web/ on 127.0.0.1 (WEB_PORT, 8000 by default) and prints the
# address to open; Ctrl+C stops it.
WEB_PORT ?= 8000
web-serve: web
	bash scripts/web-serve $(WEB_PORT)

# Installs the game for Linux players under PREFIX (DESTDIR stages it): the
# launcher <prefix>/games/quarrelo, the game in <prefix>/lib/games/quarrelo,
# its assets in <prefix>/share/games/quarrelo, a desktop entry, icons and a
# manual page. Players' run logs go to $$XDG_STATE_HOME/quarrelo/Log.txt.
PREFIX ?= /usr/local
install: setup
	cmake --preset default
	cmake --build --preset default --target Quarrelo quarrelo_packaging_files
	DESTDIR="$(DESTDIR)" cmake --install build/default --prefix "$(PREFIX)"

# The same files as a Debian package, dist/quarrelo_<version>_<arch>.deb.
package: setup
	cmake --preset default
	cmake --build --preset default --target Quarrelo quarrelo_packaging_files
	rm -rf build/default/deb
	cpack --config build/default/CPackConfig.cmake -B build/default/deb
	mkdir -p dist && cp build/default/deb/quarrelo_*.deb dist/
	@ls dist/quarrelo_*.deb

# The Windows build (MinGW-w64 cross compiler): dist/windows/ holds
# Quarrelo.exe with the assets beside it, dist/Quarrelo-windows.zip the same.
windows: setup
	cmake --preset windows
	cmake --build --preset windows
	cmake --build --preset windows --target quarrelo_dist

# Compiles and links the Windows build; a failure fails the check. Skipped
# only when the cross compiler is missing.
windows-check:
	@if command -v x86_64-w64-mingw32-g++ >/dev/null 2>&1; then \
	  cmake --preset windows && cmake --build --preset windows; \
	else echo "x86_64-w64-mingw32-g++ is not installed: Windows build check skipped"; fi

# Redraws the pictures and resynthesises the sounds into assets/, and the
# installed game's icons into packaging/icons/.
.PHONY: assets
assets: setup
	cmake --preset default -DQUARRELO_TESTS=ON
	cmake --build --preset default --target make_assets
	build/default/tools/make_assets/make_assets assets packaging/icons

# Rewrites the error trace's result-code tables in src/trace/ from the
# MinGW-w64 result-code headers and tools/gen_result_codes/data/.
.PHONY: gen-result-codes
gen-result-codes: setup
	python3 tools/gen_result_codes/gen_result_codes.py --out src/trace

# A long soak: a million frames of seeded random two-player play, checked
# after every frame. QUARRELO_SOAK_SEED=<n> reruns another player.
SOAK_FRAMES ?= 1000000
.PHONY: soak
soak: build
	QUARRELO_SOAK_FRAMES=$(SOAK_FRAMES) build/default/tests/hardening/hardening_soak_tests

# The README's two commands on a fresh minimal Debian 12 (debootstrap) holding
# nothing but a clone of this checkout's HEAD: `./make play` until the menu
# shows, then `./make test`. Needs root; logs in build/fresh-check/.
fresh-check: setup
	bash scripts/fresh-check
