# SPDX-License-Identifier: GPL-3.0-or-later
# Thin wrapper around CMake. `make run` and `make test` set up a fresh Debian/Ubuntu
# machine: missing build packages are installed with apt-get first.

# QT=6 builds against Qt 6 instead, in folders of its own.
QT           ?= 5
QT_SUFFIX    := $(if $(filter 6,$(QT)),-qt6,)
BUILD_DIR    ?= build$(QT_SUFFIX)
SANITIZE_DIR ?= build-sanitize$(QT_SUFFIX)
BENCH_DIR    ?= build-bench$(QT_SUFFIX)
FUZZ_DIR     ?= build-fuzz$(QT_SUFFIX)
JOBS         ?= $(shell nproc 2>/dev/null || echo 2)
WERROR       := $(if $(CI),ON,OFF)

PACKAGES       := cmake make g++ qtbase5-dev qtbase5-private-dev fonts-urw-base35 fonts-dejavu-core \
                  qttranslations5-l10n
BENCH_PACKAGES := libbenchmark-dev xvfb xauth
FUZZ_PACKAGES  := clang libclang-rt-dev
QT6_PACKAGES   := qt6-base-dev qt6-base-private-dev qt6-5compat-dev qt6-qpa-plugins qt6-translations-l10n
# The accessibility check's virtual display, private session and accessibility buses.
A11Y_PACKAGES  := xvfb dbus-daemon dbus-bin at-spi2-core python3-pyatspi xdotool x11-utils
# Tools of the install and package checks that `make test` runs, and of `make package`.
CHECK_PACKAGES := desktop-file-utils appstream dpkg-dev file lintian
QT_PACKAGES    := $(if $(filter 6,$(QT)),$(QT6_PACKAGES),)
CMAKE_QT       := -DKALMORA_QT_MAJOR=$(QT)

# Packages are installed directly as root and through sudo otherwise; where there is no
# sudo, the missing packages are named with the command to run as root.
SUDO := $(shell [ "$$(id -u)" -eq 0 ] || { command -v sudo >/dev/null 2>&1 && echo sudo; } \
                || echo none)

# Installs the packages named in $(1) that dpkg does not report as installed.
define ensure_packages
	@missing=""; \
	for p in $(1); do \
	    dpkg-query -W -f='$${Status}' "$$p" 2>/dev/null | grep -q 'ok installed' \
	        || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ] && [ "$(SUDO)" = none ]; then \
	    echo "These packages are missing:$$missing"; \
	    echo "Install them as root (for example after su -), then run make again:"; \
	    echo "    apt-get update && apt-get install$$missing"; \
	    exit 1; \
	fi; \
	if [ -n "$$missing" ]; then \
	    echo "Installing:$$missing"; \
	    $(SUDO) apt-get update -q && \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -q $$missing; \
	fi
endef

.PHONY: all deps check-deps build run test test-sanitize check-a11y package bench fuzz format clean

all: build

deps:
	$(call ensure_packages,$(PACKAGES) $(QT_PACKAGES))

# Everything the tests and the package need, named at once where it cannot be installed.
check-deps:
	$(call ensure_packages,$(PACKAGES) $(QT_PACKAGES) $(CHECK_PACKAGES))

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALMORA_WERROR=$(WERROR) \
	    $(CMAKE_QT)
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/kalmora

test: check-deps build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-sanitize: check-deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DKALMORA_SANITIZE=ON \
	    -DKALMORA_WERROR=$(WERROR) $(CMAKE_QT)
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The program as a screen reader meets it, through the desktop's accessibility interface
# (tests/atspi/run.sh, about two minutes): names of the fields, results in words and
# announced, few events from long work, the prime table a window. A11Y_SECTIONS chooses
# the parts (see tests/atspi/check_a11y.py --help). A missing tool skips it (exit 77).
A11Y_SECTIONS ?= names,results,fermat,logn,logn-slow,prime

check-a11y: build
	$(call ensure_packages,$(A11Y_PACKAGES) $(if $(findstring fonts,$(A11Y_SECTIONS)),imagemagick))
	@status=0; tests/atspi/run.sh $(BUILD_DIR)/kalmora --only $(A11Y_SECTIONS) || status=$$?; \
	if [ $$status = 77 ]; then echo "check-a11y: skipped, a tool is missing"; exit 0; fi; \
	exit $$status

# The Debian package $(BUILD_DIR)/kalmora_<version>_<arch>.deb; install it with
# apt-get install ./$(BUILD_DIR)/kalmora_*.deb
package: check-deps build
	cd $(BUILD_DIR) && cpack

# The offscreen platform does not paint to a screen, which hides painting costs; the
# programs that measure the window's responsiveness also run on a virtual X server.
ON_SCREEN_BENCHES := bench_responsiveness bench_primetable

bench: deps
	$(call ensure_packages,$(BENCH_PACKAGES))
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DKALMORA_TESTS=OFF -DKALMORA_BENCH=ON \
	    $(CMAKE_QT)
	cmake --build $(BENCH_DIR) -j $(JOBS)
	@for b in $(BENCH_DIR)/bench/bench_*; do \
	    [ -f "$$b" ] && [ -x "$$b" ] || continue; \
	    echo "== $$b (offscreen)"; QT_QPA_PLATFORM=offscreen "$$b" || exit 1; \
	    case " $(ON_SCREEN_BENCHES) " in *" $$(basename $$b) "*) \
	        echo "== $$b (virtual X server)"; \
	        xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb "$$b" || exit 1;; \
	    esac; \
	done

# libFuzzer run of the prime list reader for FUZZ_TIME seconds (not part of CI). New
# inputs collect in $(FUZZ_DIR)/corpus; a crash leaves its input in $(FUZZ_DIR).
FUZZ_TIME ?= 600

fuzz: deps
	$(call ensure_packages,$(FUZZ_PACKAGES))
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	    -DKALMORA_FUZZ=ON -DKALMORA_TESTS=OFF $(CMAKE_QT)
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_primelist
	mkdir -p $(FUZZ_DIR)/corpus
	cd $(FUZZ_DIR) && fuzz/fuzz_primelist -max_total_time=$(FUZZ_TIME) -timeout=10 \
	    -print_final_stats=1 corpus $(CURDIR)/fuzz/seeds

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(BENCH_DIR) $(FUZZ_DIR)
