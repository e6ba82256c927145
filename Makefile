# kveltar: `make demo` and `make test` work on a fresh Debian 12 machine. Both first
# install whatever the build and the tests need (apt-get), then configure and build.

SHELL := /bin/bash
.DEFAULT_GOAL := demo

PACKAGES := cmake ninja-build g++ gcc clang libclang-rt-14-dev libgtest-dev googletest libbenchmark-dev \
            g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64 \
            wine64 xvfb xauth libtinyobjloader-dev clang-tidy cppcheck clang-format nlohmann-json3-dev \
            libtinygltf-dev libstb-dev libcli11-dev blender python3-numpy
# Only for the web page (`make web`, `make test-web-module`): emscripten and node.
WEB_PACKAGES := emscripten nodejs
# Only for the page's browser tests, picture and benchmark: the browser playwright-core drives.
WEB_PAGE_PACKAGES := chromium
# Only for `make screenshots`: capturing a window of the virtual display as PNG.
SCREENSHOT_PACKAGES := x11-apps x11-utils netpbm
SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)
WINE_PREFIX := $(CURDIR)/build/win64/wineprefix
FUZZ_SECONDS ?= 20

.PHONY: deps native asan win64 linux demo-build fuzz-build package package-win64 package-linux test test-native test-asan test-wine test-fuzz test-blender test-package demo screenshots blender-screenshot fuzz bench bench-wine lint format clean wasm web web-page test-web-module bench-web test-web-page web-screenshot bench-web-page bench-web-markers

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing: $$missing"; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native

asan: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan

win64: deps
	cmake --preset win64 -Wno-dev >/dev/null
	cmake --build --preset win64

# The Linux release build: the host as one static executable with the plug-in linked
# in, and the plug-in module kveltar.so with the C++ runtime linked in.
linux: deps
	cmake --preset linux >/dev/null
	cmake --build --preset linux

# What the demo shows, and nothing else: the plug-in DLL and the host (`make test`
# builds the Windows tests).
demo-build: deps
	cmake --preset win64 -Wno-dev >/dev/null
	cmake --build --preset win64 --target kveltar_plugin kveltar-host

# The plug-in and the host library as one WebAssembly module (emscripten, wasm32).
wasm: deps
	@$(MAKE) --no-print-directory deps PACKAGES="$(WEB_PACKAGES)"
	NODE_PATH=/usr/share/nodejs cmake --preset wasm >/dev/null
	NODE_PATH=/usr/share/nodejs cmake --build --preset wasm

# The static web site in build/web: the JS module kveltar.js over the WebAssembly
# module, and the page (`web-page`).
web: wasm
	mkdir -p build/web
	cp tools/host/web/kveltar.js build/wasm/kveltar-wasm.js build/wasm/kveltar-wasm.wasm build/web/
	@$(MAKE) --no-print-directory web-page
	@echo "build/web: kveltar-wasm.wasm + kveltar-wasm.js = $$(( $$(stat -c %s build/web/kveltar-wasm.wasm) + $$(stat -c %s build/web/kveltar-wasm.js) )) bytes"

# The JS module's conversions under node, byte-compared with the native build's (the
# SOD files of every version are those the native glTF round trip leaves, the hostile
# glTF files those the glTF reader's tests leave).
test-web-module: web native
	ctest --test-dir build/native -R 'gltf_round_trip_files|GltfSceneReader\.(Hostile|Damaged)' >/dev/null
	node --test tests/web/module.test.mjs

fuzz-build: deps
	@if ls fuzz/*_fuzz.cpp >/dev/null 2>&1; then cmake --preset fuzz >/dev/null && cmake --build --preset fuzz; fi

# The Khronos glTF validator (npm), which the tests run on every glTF file they write.
GLTF_VALIDATOR := tests/gltf/node_modules/gltf-validator/package.json
$(GLTF_VALIDATOR): tests/gltf/package-lock.json
	@command -v npm >/dev/null || $(MAKE) --no-print-directory deps PACKAGES="nodejs npm"
	cd tests/gltf && npm ci --no-audit --no-fund --loglevel=error
	touch $@

test-native: native $(GLTF_VALIDATOR)
	ctest --test-dir build/native --output-on-failure -j2

test-asan: asan $(GLTF_VALIDATOR)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build/asan --output-on-failure -j2

test-wine: win64 $(GLTF_VALIDATOR)
	tests/wine/run_wine_suite.sh build/win64

test-fuzz: fuzz-build
	@if ls fuzz/*_fuzz.cpp >/dev/null 2>&1; then fuzz/run_fuzzers.sh build/fuzz 10; fi

test: test-native test-asan test-wine test-fuzz test-blender test-package test-web-module test-web-page lint

fuzz: fuzz-build
	fuzz/run_fuzzers.sh build/fuzz $(FUZZ_SECONDS)

bench: native
	@for b in build/native/bench/*_bench; do if [ -x "$$b" ]; then "$$b"; fi; done
	build/native/bench/speed_ratios build/native/kveltar.so
	@$(MAKE) --no-print-directory bench-web
	@$(MAKE) --no-print-directory bench-wine
	@$(MAKE) --no-print-directory bench-web-page

# The web module's conversion of the largest mesh under node against the native build's.
bench-web: web native
	node bench/web_speed.mjs

# The same speed ratios measured by the Windows build under Wine: only the timing
# program, the core and the plug-in DLL (read through its PluginProc) are built for it.
bench-wine: deps
	cmake --preset win64 -Wno-dev >/dev/null
	cmake --build --preset win64 --target speed_ratios kveltar_plugin
	WINEPREFIX=$(WINE_PREFIX) tests/wine/run_in_wine.sh build/win64/bench/speed_ratios.exe build/win64/kveltar_64.dlx

# The page of the web front end (tools/host/web/page) in build/web: its modules with the parts of
# three.js and fflate they use bundled and minified by esbuild, the converter's worker with the
# WebAssembly glue, the manifest with its icons and the offline worker (tools/host/web/site), from
# the npm packages of package.json and its lock beside the page.
WEB_PAGE := tools/host/web/page
WEB_PAGE_NPM := $(WEB_PAGE)/node_modules/.package-lock.json
$(WEB_PAGE_NPM): $(WEB_PAGE)/package-lock.json
	@command -v npm >/dev/null || $(MAKE) --no-print-directory deps PACKAGES="nodejs npm"
	cd $(WEB_PAGE) && npm ci --no-audit --no-fund --loglevel=error
	touch $@

web-page: $(WEB_PAGE_NPM)
	node tools/host/web/site/build_site.mjs build/web build/wasm $(VERSION)

# The page's browser tests: playwright-core (npm, no browser of its own) drives Debian's chromium.
WEB_TESTS_NPM := tests/web/node_modules/.package-lock.json
$(WEB_TESTS_NPM): tests/web/package-lock.json
	@command -v npm >/dev/null || $(MAKE) --no-print-directory deps PACKAGES="nodejs npm"
	cd tests/web && npm ci --no-audit --no-fund --loglevel=error
	touch $@

test-web-page: web native $(WEB_TESTS_NPM)
	@$(MAKE) --no-print-directory deps PACKAGES="$(WEB_PAGE_PACKAGES)"
	node --test tests/web/page.test.mjs

# In headless chromium, against a bare three.js page showing the same GLB: page open to first
# picture of the frigate, and the longest frame gap while the largest legal mesh opens.
bench-web-page: web native $(WEB_TESTS_NPM)
	@$(MAKE) --no-print-directory deps PACKAGES="$(WEB_PAGE_PACKAGES)"
	node tests/web/first_picture_bench.mjs

# Selecting and moving a marker of a model with 10,000 markers against the frigate's 5.
bench-web-markers: web native $(WEB_TESTS_NPM)
	node tests/web/marker_select_bench.mjs

# The user guide's pictures of the page: the sample frigate with its marker labels, a marker
# selected, and the Files table of a small mod folder (docs/web-page{,-markers,-files}.png).
web-screenshot: web $(WEB_TESTS_NPM)
	@$(MAKE) --no-print-directory deps PACKAGES="$(WEB_PAGE_PACKAGES)"
	node tests/web/screenshot.mjs docs/web-page.png

# The main job: build the real plug-in and show the reference host driving it under Wine.
demo: demo-build
	tools/demo.sh build/win64

# The pictures in docs/, taken of the real DLL under Wine on a virtual display.
screenshots: win64 blender-screenshot
	@$(MAKE) --no-print-directory deps PACKAGES="$(SCREENSHOT_PACKAGES)"
	tools/screenshot.sh build/win64 docs/import-dialog.png
	tools/screenshot.sh build/win64 docs/export-dialog.png export

# The user guide's picture of the Blender add-on: Debian's Blender on a virtual display
# with the sample imported, in 256 colours.
blender-screenshot: native
	@$(MAKE) --no-print-directory deps PACKAGES="$(SCREENSHOT_PACKAGES)"
	mkdir -p build/blender
	xvfb-run -a -s "-screen 0 1600x1000x24" blender --factory-startup --python tools/blender/screenshot.py -- \
	  build/native/kveltar-host docs/sample/frigate.sod build/blender/screenshot.png
	pngtopnm build/blender/screenshot.png | pnmquant 256 | pnmtopng -compression 9 > docs/blender-import.png

# Static analysis of the plug-in's sources (configuration in .clang-tidy); findings are errors.
LINT_SOURCES = $$(git ls-files 'src/*.cpp' | grep -v -e src/platform/windows/ -e src/plugin/dll_main.cpp)
lint: native
	clang-tidy -p build/native --quiet $(LINT_SOURCES) 2>&1 | grep -v -E '^[0-9]+ warnings? generated' ; test $${PIPESTATUS[0]} -eq 0
	cppcheck --enable=warning,performance,portability --error-exitcode=1 --inline-suppr --quiet --std=c++17 -I src src

# The release packages: for Windows a zip archive and for Linux a tar.gz archive, each
# with the plug-in, the reference host, the user guide with its pictures, a sample
# model and the licence; beside them the Blender add-on's zip, which carries both
# hosts in a folder of bin named for its system (the Windows one with its plug-in
# beside it, the static Linux one with its plug-in inside).
VERSION := $(shell grep -m1 -o 'kveltar VERSION [0-9.]*' CMakeLists.txt | cut -d' ' -f3)
PACKAGE := kveltar-$(VERSION)-win64
LINUX_PACKAGE := kveltar-$(VERSION)-linux-x86_64
COMMA := ,
RELEASE_DOCS := docs/user-guide.md docs/import-dialog.png docs/export-dialog.png docs/blender-import.png LICENSE \
                docs/sample/frigate.sod $(wildcard docs/sample/frigate_*.tga)
LINUX_FILES := kveltar-host kveltar.so libkveltar_win32_standin.so
ADDON_LINUX_FILES := kveltar-host
ADDON_FILES := tools/blender/kveltar_sod/*.py tools/blender/kveltar_sod/blender_manifest.toml

package: package-win64 package-linux web
	rm -rf build/package/blender && mkdir -p build/package/blender/kveltar_sod/bin/windows-x64
	cp $(ADDON_FILES) build/package/blender/kveltar_sod/
	sed -i 's/"version": ([0-9, ]*)/"version": ($(subst .,$(COMMA) ,$(VERSION)))/' build/package/blender/kveltar_sod/__init__.py
	sed -i 's/^version = .*/version = "$(shell echo $(VERSION) | cut -d. -f1-3)"/' \
	  build/package/blender/kveltar_sod/blender_manifest.toml
	cp build/package/$(PACKAGE)/kveltar_64.dlx build/package/$(PACKAGE)/kveltar-host.exe \
	  build/package/blender/kveltar_sod/bin/windows-x64/
	mkdir -p build/package/blender/kveltar_sod/bin/linux-x64
	cp $(addprefix build/package/$(LINUX_PACKAGE)/,$(ADDON_LINUX_FILES)) build/package/blender/kveltar_sod/bin/linux-x64/
	rm -f build/kveltar-$(VERSION)-blender.zip
	cd build/package/blender && cmake -E tar cf ../../kveltar-$(VERSION)-blender.zip --format=zip kveltar_sod
	@echo "build/kveltar-$(VERSION)-blender.zip"
	rm -rf build/package/web && mkdir -p build/package/web/kveltar-$(VERSION)-web
	cp -r build/web/. build/package/web/kveltar-$(VERSION)-web/
	cd build/package/web && cmake -E tar cf ../../kveltar-$(VERSION)-web.zip --format=zip kveltar-$(VERSION)-web
	@echo "build/kveltar-$(VERSION)-web.zip"

package-win64: win64
	rm -rf build/package/$(PACKAGE) && mkdir -p build/package/$(PACKAGE)
	x86_64-w64-mingw32-strip -o build/package/$(PACKAGE)/kveltar_64.dlx build/win64/kveltar_64.dlx
	x86_64-w64-mingw32-strip -o build/package/$(PACKAGE)/kveltar-host.exe build/win64/kveltar-host.exe
	cp $(RELEASE_DOCS) build/package/$(PACKAGE)/
	rm -f build/$(PACKAGE).zip
	cd build/package && cmake -E tar cf ../$(PACKAGE).zip --format=zip $(PACKAGE)
	@echo "build/$(PACKAGE).zip"

# kveltar.so finds the stand-in library beside itself; the host needs neither.
package-linux: linux
	rm -rf build/package/$(LINUX_PACKAGE) && mkdir -p build/package/$(LINUX_PACKAGE)
	for file in $(LINUX_FILES); do strip --strip-unneeded -o build/package/$(LINUX_PACKAGE)/$$file build/linux/$$file; done
	cp $(RELEASE_DOCS) build/package/$(LINUX_PACKAGE)/
	tar -C build/package -czf build/$(LINUX_PACKAGE).tar.gz --owner=0 --group=0 $(LINUX_PACKAGE)
	@echo "build/$(LINUX_PACKAGE).tar.gz"

# The Linux archive unpacked in a fresh folder: its static host converts the sample in
# an empty root folder (chroot as root, else a user namespace) as the native host does.
test-package: package-linux
	cmake --preset native >/dev/null
	cmake --build --preset native --target kveltar-host
	tests/release/check_linux_package.sh build/$(LINUX_PACKAGE).tar.gz build/native/kveltar-host

# The Blender add-on as Blender installs it: the folder kveltar_sod in a zip archive,
# carrying the static Linux host as the release's add-on does (which also carries
# the Windows ones, made by `package`).
BLENDER_ADDON_ZIP := build/blender/kveltar_sod.zip
$(BLENDER_ADDON_ZIP): $(wildcard tools/blender/kveltar_sod/*) package-linux
	rm -rf build/blender/addon && mkdir -p build/blender/addon/kveltar_sod/bin/linux-x64
	cp $(ADDON_FILES) build/blender/addon/kveltar_sod/
	cp $(addprefix build/package/$(LINUX_PACKAGE)/,$(ADDON_LINUX_FILES)) build/blender/addon/kveltar_sod/bin/linux-x64/
	rm -f $@
	cd build/blender/addon && cmake -E tar cf ../kveltar_sod.zip --format=zip kveltar_sod

# The add-on in Debian's Blender, installed from its zip into a user folder of the
# build, with no kveltar-host on PATH: it runs the Linux host it carries.
test-blender: $(BLENDER_ADDON_ZIP)
	rm -rf build/blender/user build/blender/work
	PATH=$$(echo "$$PATH" | tr ':' '\n' | grep -v -x -e '' -e "$(CURDIR)/build/.*" | paste -sd:) \
	BLENDER_USER_SCRIPTS=$(CURDIR)/build/blender/user BLENDER_USER_CONFIG=$(CURDIR)/build/blender/user/config \
	  blender -b --factory-startup --python-exit-code 1 --python tests/blender/addon_test.py -- \
	  $(BLENDER_ADDON_ZIP) build/blender/work

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
