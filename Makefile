# The two commands a newcomer needs: `make test` and `make demo`. Both install what is missing.
JOBS ?= 2

.PHONY: all deps native windows test test-native test-windows demo run fuzz bench clean

all: native windows

deps:
	scripts/install-deps

native: deps
	cmake --preset native
	cmake --build --preset native -j$(JOBS)

windows: deps
	cmake --preset windows
	cmake --build --preset windows -j$(JOBS)

test-native: native
	ctest --preset native

test-windows: windows
	ctest --preset windows

# Both targets: the portable core natively (with sanitizers) and everything under Wine.
test: test-native test-windows

# Runs the sample Setup.exe under Wine on a private virtual display; screenshots go to out/demo/.
demo: windows
	scripts/demo build/windows

# Opens the sample wizard for a person on the current display.
run: windows
	WINEPREFIX=$(CURDIR)/build/windows/wine/prefix WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" wine build/windows/glyphor/Setup.exe

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j$(JOBS)

bench: deps
	cmake --preset release
	cmake --build --preset release -j$(JOBS)

clean:
	rm -rf build out
