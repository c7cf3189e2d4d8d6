# Two commands do everything on a fresh Debian 12 machine:
#   make run    installs what is missing, builds, and starts Grimalou
#   make test   installs what is missing, builds, and passes the whole test suite
#   make web    builds the browser site in build-web/site/; make web-run serves it
JOBS  ?= $(shell nproc 2>/dev/null || echo 2)
BUILD ?= build
PREFIX ?= /usr/local

.PHONY: all deps build run web web-run bench-web test test-main test-sanitize test-fuzz fuzz-long art sounds bench soak install uninstall deb clean

all: build

deps:
	@bash tools/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash tools/run.sh $(BUILD)/grimalou

# The browser site: the page, the script, the WebAssembly module, the data
# package, the web manifest, the service worker and the icons, for any static
# web server.
web: deps
	JOBS=$(JOBS) bash tools/build-web.sh

# Serves the site on 127.0.0.1 and prints its address; Ctrl+C stops.
web-run: web
	@python3 tools/serve_site.py build-web/site

test: build test-main test-sanitize test-fuzz

test-main:
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600

# The whole suite once more (unit, GL, end-to-end and art tests) built with
# AddressSanitizer and UndefinedBehaviorSanitizer: the end-to-end tests start
# the sanitized program. Installing and packaging are tested on the normal
# build alone, the one users get.
test-sanitize: deps
	cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DGRIMALOU_SANITIZE=ON
	cmake --build build-sanitize -j $(JOBS)
	cd build-sanitize && ctest --output-on-failure -j $(JOBS) --timeout 900

# Each libFuzzer harness runs briefly over its seed corpus.
test-fuzz: deps
	cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRIMALOU_FUZZ=ON \
	  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14
	cmake --build build-fuzz -j $(JOBS) --target fuzzers
	cd build-fuzz && ctest --output-on-failure -L fuzz --timeout 600

# Each libFuzzer harness in turn, with a random seed, until ten million
# executions or ten minutes; one line of figures per harness.
fuzz-long: deps
	bash tests/fuzz/run-long.sh

# Regenerates the atlases, the font pictures and the review sheets in the repository.
art: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS) --target regenerate_art

# Synthesises the interface sounds again into data/sounds (Ogg Vorbis).
sounds: deps
	python3 tools/sounds/make_sounds.py data/sounds

# The browser site's size and its start-up against a bare WebGL page, and
# the camera mirror's rates against the page without it.
bench-web: web
	NODE_PATH=/usr/share/nodejs cmake --build build-web --target bare
	node bench/web/start.js
	node bench/web/mirror.js

bench: build
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	bash bench/run.sh $(BUILD)

# Ten minutes of random use of the real program on a private X server; the
# seed is printed so that a failure can be replayed.
soak: build
	python3 tests/e2e/soak.py $(BUILD)/grimalou $(BUILD)/tests/e2e/send_close 600 60

# Installs into $(PREFIX): the program in lib/grimalou, a link in bin, the
# launcher, the icons, the metadata, the exercise files' type and the manual
# page in share; then the desktop's caches there learn the type and its program.
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)
	cmake -DPREFIX=$(PREFIX) -P tools/desktop-caches.cmake

# Removes from $(PREFIX) what `make install` puts there.
uninstall:
	cmake -DBUILD=$(BUILD) -DPREFIX=$(PREFIX) -P tools/uninstall.cmake

# The Debian package, built in its own folder with Debian's hardening flags:
# build-deb/grimalou_<version>_amd64.deb.
deb: export DEB_BUILD_MAINT_OPTIONS = hardening=+all
deb: deps
	CFLAGS="$$(dpkg-buildflags --get CFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	CXXFLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	LDFLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
	  cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build-deb -j $(JOBS) --target grimalou packaging_files
	cd build-deb && cpack
	@ls build-deb/grimalou_*.deb

clean:
	rm -rf $(BUILD) build-sanitize build-fuzz build-deb build-web
