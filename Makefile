# The two commands a newcomer needs: `make test` and `make demo`. Both install what is missing.
JOBS ?= 2
# The build tree whose Setup.exe `make run` opens.
RUN_BUILD ?= build/windows

.PHONY: all deps native windows test test-native test-windows test-windows-x86 demo run dist fuzz bench clean

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

# The x86 stubs and their tests under Wine's 32-bit support, where this machine runs 32-bit
# programs at all (some virtual machines' kernels do not: there it says so and skips).
test-windows-x86: deps
	@if scripts/runs-32bit-programs; then \
	  cmake --preset windows-x86 && cmake --build --preset windows-x86 -j$(JOBS) && ctest --preset windows-x86; \
	else \
	  echo "make test: skipped the x86 suite: this machine's kernel runs no 32-bit programs, so Wine cannot run them"; \
	fi

# Every target: the portable core natively (with sanitizers), everything under Wine, and the x86
# build where the machine can run it.
test: test-native test-windows test-windows-x86

# Runs the sample Setup.exe under Wine on a private virtual display; screenshots go to out/demo/.
demo: windows
	scripts/demo build/windows

# Opens the sample wizard for a person on the current display (DISPLAY), in the build tree's
# prefix (its user folders stay inside the build tree, so an install touches nothing of the host).
run: windows
	@test -n "$$DISPLAY" || { echo "make run: DISPLAY is not set" >&2; exit 1; }
	@display=$$DISPLAY; build=$(RUN_BUILD); started=0; \
	if ! [ -f $$build/wine/xvfb.pid ] || ! kill -0 "$$(cat $$build/wine/xvfb.pid)" 2>/dev/null; then \
	  scripts/wine-session start $$build && started=1; \
	fi; \
	eval "$$(scripts/wine-session env $$build)"; \
	DISPLAY=$$display wine $$build/glyphor/Setup.exe; status=$$?; \
	[ $$started = 0 ] || scripts/wine-session stop $$build; \
	exit $$status

# What a publisher needs without building this repository: stpack for Linux (x86-64) and for
# Windows (x64), the stubs beside them (each stpack finds them there) and the sample product file;
# the x86 stubs too when the windows-x86 preset has built them.
DIST = out/dist/setup-toolkit
dist: windows
	cmake --build --preset windows -j$(JOBS) --target stpack setup_stub uninst_stub host_stpack
	rm -rf $(DIST) $(DIST).tar.gz
	mkdir -p $(DIST)
	cp build/windows/host-tools/tools/stpack/stpack build/windows/tools/stpack/stpack.exe \
	   build/windows/tools/stpack/setup_stub.exe build/windows/tools/stpack/uninst_stub.exe \
	   README.md examples/glyphor/product.ini $(DIST)/
	for stub in build/windows-x86/tools/stpack/setup_stub_x86.exe build/windows-x86/tools/stpack/uninst_stub_x86.exe; do \
	  if [ -f $$stub ]; then cp $$stub $(DIST)/; fi; \
	done
	tar -C out/dist -czf $(DIST).tar.gz setup-toolkit
	@echo "dist: $(DIST).tar.gz"

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j$(JOBS)

bench: deps
	cmake --preset release
	cmake --build --preset release -j$(JOBS)

clean:
	rm -rf build out
