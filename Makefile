# The two commands of the README:
#   make demo   build the 64-bit launcher and run it under Wine (screenshot when headless)
#   make test   build native, win64 and win32; run the native tests and the win64 tests under Wine,
#               then build the release packages and install, start and remove them under Wine,
#               then the 32-bit batch under a 32-bit Wine (all of it: make test-win32)
# Both install what they need with apt-get first (scripts/deps.sh). Releases: make dist.
JOBS ?= $(shell nproc)
# How long `make fuzz` runs each fuzz target.
FUZZ_SECONDS ?= 60

.PHONY: all test demo demo32 bench fuzz deps native win64 win32 test-native test-win64 test-packages \
        test-win32 test-win32-part packages dist reproduce clean format

all: native win64 win32

# Everything of the run-time tree (build/<preset>/stage): the program, the checker, the
# simulator, the feature modules, the data tree and the skin drawn at build time.
STAGE_TARGETS = TandrelProgram tandrel-check devicemanager_sim MessageConfirm MultiPairForm \
                RSSIDisplay tandrel_data tandrel_skin_data

test: deps-test test-native win32 test-win64 test-packages test-win32-part

demo: deps-demo
	cmake --preset win64 >/dev/null
	cmake --build --preset win64 -j$(JOBS) --target $(STAGE_TARGETS) tandrel_probe
	scripts/demo.sh build/win64

deps-test:
	scripts/deps.sh test
deps-fuzz:
	scripts/deps.sh fuzz
deps-demo:
	scripts/deps.sh demo
deps-dist:
	scripts/deps.sh dist

native:
	cmake --preset native >/dev/null
	cmake --build --preset native -j$(JOBS)

win64:
	cmake --preset win64 >/dev/null
	cmake --build --preset win64 -j$(JOBS)

# The shipping build: compiled and linked every time, checked as a 32-bit GUI program that
# imports only system DLLs. Its run-time tests need a 32-bit Wine: make test-win32.
win32:
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j$(JOBS)
	ctest --preset win32 --output-on-failure

# The release files in dist/ (scripts/dist.sh): Windows Installer packages and zips of both
# builds, the binaries' debug files, checksums. A release needs only the run-time tree. Signed
# with SIGN_PKCS12= and SIGN_PASSWORD_FILE=, or SIGN_CERT= and SIGN_KEY= (README, "Signing").
dist: deps-dist
	for p in win32 win64; do \
	  cmake --preset $$p >/dev/null && \
	  cmake --build --preset $$p -j$(JOBS) --target $(STAGE_TARGETS) || exit 1; \
	done
	scripts/dist.sh dist

# The release files of this commit built again in a fresh clone in another folder and compared
# with dist/ (or RELEASE=<folder>): each file that differs, where; fails unless all are equal.
reproduce: deps-dist
	scripts/reproduce.sh $(or $(RELEASE),dist)

# The release files as `make dist` makes them: unsigned, then signed (into build/dist) with a
# certificate made for the test and checked.
packages: win32 win64
	tests/packaging/sign_test.py build/dist

# The release files read from their tables, then the signed 64-bit package installed, upgraded,
# started and removed under Wine in a fresh prefix.
test-packages: packages
	tests/packaging/dist_test.py build/dist
	tests/packaging/install_test.sh build/dist

# Timing harnesses (not tests): each prints ratios against a baseline measured in the same run.
bench: deps-test win64
	scripts/with-wine.sh build/win64 scripts/bench.sh build/win64

# libFuzzer on each target of tests/fuzz for FUZZ_SECONDS, starting from its committed corpus;
# prints executions, seconds and crashes per target (native `make test` replays the corpora).
fuzz: deps-fuzz
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j$(JOBS) --target fuzzers
	scripts/fuzz.sh build/fuzz $(FUZZ_SECONDS)

test-native: native
	ctest --preset native -j$(JOBS)

test-win64: win64
	scripts/with-wine.sh build/win64 ctest --preset win64

# The 32-bit batch in one boot of the 32-bit test machine (scripts/guest32/; made and cached the
# first time), or with this machine's own 32-bit Wine where its kernel runs 32-bit code: the win32
# test programs, the end-to-end runs and tandrel-check.exe, and the win32 package's install round
# trip. make test runs the end-to-end cases of the 32-bit paths (ctest --preset win32-wine),
# make test-win32 every one (win32-wine-all), which takes longer than make test may.
test-win32-part: deps-test packages
	scripts/win32-tests.sh build/dist win32-wine
test-win32: deps-test packages
	scripts/win32-tests.sh build/dist win32-wine-all

# The 32-bit launcher in the 32-bit test machine, on a private screen: screenshots of the main
# window and the signal display in build/win32/.
demo32: deps-test
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j$(JOBS) --target $(STAGE_TARGETS) tandrel_probe
	scripts/guest32/demo.sh build/win32

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build dist
