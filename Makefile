# Tickvane: the two set-up commands are `make run` and `make test`.
BUILD     ?= build
PREFIX    ?= /usr/local
SAN_BUILD ?= build-san
TSAN_BUILD ?= build-tsan
COV_BUILD ?= build-cov
FUZZ_SECONDS ?= 60

.PHONY: run test lint bench fuzz coverage tsan setup setup-test setup-package setup-coverage build build-san \
        install package clean

setup:
	@bash scripts/setup-deps.sh

setup-test:
	@bash scripts/setup-deps.sh test

setup-package:
	@bash scripts/setup-deps.sh package

setup-coverage:
	@bash scripts/setup-deps.sh coverage

$(BUILD)/build.ninja: | setup
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTICKVANE_WERROR=ON

build: setup $(BUILD)/build.ninja
	cmake --build $(BUILD)

# The Qt-free libraries, their tests and the fuzz targets under ASan + UBSan (clang).
$(SAN_BUILD)/build.ninja: | setup
	CC=clang CXX=clang++ cmake -S . -B $(SAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DTICKVANE_WERROR=ON -DTICKVANE_QT=OFF -DTICKVANE_BENCH=OFF \
	  -DTICKVANE_SANITIZE=ON -DTICKVANE_FUZZ=ON

build-san: setup $(SAN_BUILD)/build.ninja
	cmake --build $(SAN_BUILD)

# The Qt-free libraries, the export's thread pool and their tests under ThreadSanitizer
# (clang). Not part of `make test` (HACKING says when to run it).
$(TSAN_BUILD)/build.ninja: | setup
	CC=clang CXX=clang++ cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DTICKVANE_WERROR=ON -DTICKVANE_QT=OFF -DTICKVANE_BENCH=OFF -DTICKVANE_TSAN=ON

tsan: setup-test $(TSAN_BUILD)/build.ninja
	cmake --build $(TSAN_BUILD)
	TSAN_OPTIONS=halt_on_error=1 ctest --test-dir $(TSAN_BUILD) --output-on-failure

run: build
	@bash scripts/run.sh $(BUILD)

# clang-format and clang-tidy (scripts/lint.sh); needs the build's compile database.
lint: setup-test build
	@bash scripts/lint.sh $(BUILD)

test: setup-test build build-san
	@$(MAKE) --no-print-directory lint
	ctest --test-dir $(SAN_BUILD) --output-on-failure
	ctest --test-dir $(BUILD) --output-on-failure

bench: build
	@bash scripts/bench.sh $(BUILD)

fuzz: build-san
	@bash scripts/fuzz.sh $(SAN_BUILD) $(FUZZ_SECONDS)

# The Qt-free libraries, their tests and the tools with clang's source-based coverage; prints
# the line coverage of each library (scripts/coverage.sh). Not part of `make test`.
$(COV_BUILD)/build.ninja: | setup-coverage
	CC=clang CXX=clang++ cmake -S . -B $(COV_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DTICKVANE_QT=OFF -DTICKVANE_BENCH=OFF -DTICKVANE_COVERAGE=ON

coverage: setup-coverage $(COV_BUILD)/build.ninja
	cmake --build $(COV_BUILD)
	@bash scripts/coverage.sh $(COV_BUILD)

# Installs under PREFIX (bin/, share/applications, share/metainfo, share/icons, share/man,
# share/doc/tickvane).
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, tickvane_<version>_<arch>.deb, in $(BUILD).
package: setup-package build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(TSAN_BUILD) $(COV_BUILD)
