# The two commands of the README: `make demo` and `make check`.
# Everything else here is for developers.

PRESET ?= release
BUILD_DIR := build/$(PRESET)
JOBS ?= 2

.PHONY: all build check demo asan tsan windows package package-deb package-win package-check clean format

all: build

build:
	cmake --preset $(PRESET) >/dev/null
	cmake --build --preset $(PRESET) -j $(JOBS)

check: build
	ctest --preset $(PRESET) -j $(JOBS)

asan:
	$(MAKE) check PRESET=asan

# The unit tests under ThreadSanitizer, then whole runs of both programs on a
# generated list of 200,000 records, large enough that the list is read, the
# catalog sorted and the reports made on second threads. The long random
# sweeps of one-threaded code, which run natively and under ASan, are left
# out (the test preset's GTEST_FILTER).
tsan:
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan -j $(JOBS) --target movrek_unit_tests movrek32 movrek32-check gen_list
	ctest --preset tsan -R '^unit$$'
	bash tools/large-run.sh build/tsan 200000

# The two programs only, not the tests.
demo:
	cmake --preset $(PRESET) >/dev/null
	cmake --build --preset $(PRESET) --target movrek32 movrek32-check -j $(JOBS)
	@bash examples/run-demo.sh $(BUILD_DIR)/movrek32

# The Windows console executable, cross-built and tested under wine.
windows:
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS)
	bash tools/with-wine.sh ctest --preset windows -j $(JOBS)

# The Debian package and the Windows zip.
package: package-deb package-win
	@ls -l build/package-deb/*.deb build/package-win/*.zip

package-deb:
	cmake -S . -B build/package-deb -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	  -DBUILD_TESTING=OFF >/dev/null
	cmake --build build/package-deb -j $(JOBS)
	cd build/package-deb && cpack -G DEB

package-win:
	cmake -S . -B build/package-win --toolchain cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
	cmake --build build/package-win -j $(JOBS)
	cd build/package-win && cpack -G ZIP

# The Debian package checked (as root): lintian, its contents, and dpkg
# installing, upgrading and purging it on a scratch root.
package-check: package-deb
	bash tests/package/package_check.sh "$$(ls -t build/package-deb/*.deb | head -n 1)" $(CURDIR)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build

# A release build in build/bench, synthetic lists kept in build/bench/cache
# (about 2.4 GB at the default sizes; `make clean` removes them), timings.
# Prints only.
.PHONY: bench
bench:
	@bash bench/run_bench.sh

# The libFuzzer target (clang, ASan, UBSan), built by the fuzz preset, runs
# for FUZZ_SECONDS on a working copy of its seed corpus in fuzz/corpus-run/
# (git-ignored; it keeps growing from run to run). A crash leaves its input
# beside that copy as fuzz/corpus-run/run_fuzzer-crash-*.
FUZZ_SECONDS ?= 60

.PHONY: fuzz fuzz-smoke
fuzz:
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)
	mkdir -p fuzz/corpus-run/run_fuzzer
	cp -n fuzz/corpus/run_fuzzer/* fuzz/corpus-run/run_fuzzer/
	build/fuzz/fuzz/run_fuzzer -max_total_time=$(FUZZ_SECONDS) -max_len=4096 -print_final_stats=1 \
	  -dict=fuzz/movrek.dict -artifact_prefix=fuzz/corpus-run/run_fuzzer- fuzz/corpus-run/run_fuzzer

fuzz-smoke:
	$(MAKE) fuzz FUZZ_SECONDS=20

# Line and branch coverage of src/ by all tests (unit and end-to-end): a gcc
# --coverage build in build/coverage (counters updated atomically: a second
# thread writes them too), ctest, then gcovr, run in build/coverage so that
# anything it leaves stays there. Prints the figures of every file and the
# totals of lines and branches, the branches of every file go to
# build/coverage/branches.txt. Fails when a test or gcovr does.
.PHONY: coverage
coverage:
	cmake --preset coverage >/dev/null
	cmake --build --preset coverage -j $(JOBS)
	find build/coverage -name '*.gcda' -delete
	@status=0; ctest --preset coverage -j $(JOBS) || status=$$?; \
	cd build/coverage || exit 1; \
	gcovr --root ../.. --filter ../../src/ --exclude-unreachable-branches --exclude-throw-branches \
	  --json coverage.json . || exit 1; \
	gcovr --root ../.. --add-tracefile coverage.json --branches --txt branches.txt || exit 1; \
	gcovr --root ../.. --add-tracefile coverage.json --print-summary || exit 1; \
	echo "branches of every file: build/coverage/branches.txt"; \
	exit $$status

# Every end-to-end case with the program under valgrind's memcheck (memory
# errors and leaks fail the case), inside `script` for the cases on a
# terminal; a -g build of the programs in build/valgrind.
.PHONY: valgrind
valgrind:
	cmake -S . -B build/valgrind -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
	cmake --build build/valgrind --target movrek32 movrek32-check -j $(JOBS)
	@failed=0; for c in tests/e2e/cases/*/; do \
	  bash tests/e2e/run_case.sh build/valgrind/movrek32 $$c \
	    "valgrind -q --tool=memcheck --leak-check=full --error-exitcode=99" || failed=1; \
	done; exit $$failed
