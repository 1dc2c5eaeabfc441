# The two commands of the README: `make demo` and `make check`.
# Everything else here is for developers.

PRESET ?= release
BUILD_DIR := build/$(PRESET)
JOBS ?= 2

.PHONY: all build check demo asan clean format

all: build

build:
	cmake --preset $(PRESET) >/dev/null
	cmake --build --preset $(PRESET) -j $(JOBS)

check: build
	ctest --preset $(PRESET) -j $(JOBS)

asan:
	$(MAKE) check PRESET=asan

demo: build
	@bash examples/run-demo.sh $(BUILD_DIR)/movrek32

format:
	clang-format -i $$(git ls-files 'src/*.h' 'src/*.cpp' 'tests/*.cpp' 'bench/*.cpp' 'fuzz/*.cpp')

clean:
	rm -rf build
