# TEVRAN: `make demo` runs the program against the simulated instrument, `make check` builds and
# runs every test, `make deb` builds the Debian package. Each installs the Debian packages it
# needs first.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps deps-packaging build demo check deb sanitize clean

all: build

deps:
	bash scripts/install-deps.sh

deps-packaging:
	bash scripts/install-deps.sh --packaging

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	bash scripts/demo.sh $(BUILD)/bin

check: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# tevran_VERSION_ARCH.deb in $(BUILD)-deb: installed under /usr, built with Debian's hardening
# flags, without the tests.
BUILDFLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
deb: deps-packaging
	cmake -S . -B $(BUILD)-deb -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
		-DBUILD_TESTING=OFF \
		-DCMAKE_CXX_FLAGS="$$($(BUILDFLAGS) CXXFLAGS) $$($(BUILDFLAGS) CPPFLAGS)" \
		-DCMAKE_EXE_LINKER_FLAGS="$$($(BUILDFLAGS) LDFLAGS)"
	cmake --build $(BUILD)-deb -j $(JOBS)
	cd $(BUILD)-deb && cpack -G DEB
	lintian --fail-on error $(BUILD)-deb/tevran_*.deb
	rm -rf $(BUILD)-deb/unpacked && dpkg-deb -x $(BUILD)-deb/tevran_*.deb $(BUILD)-deb/unpacked
	desktop-file-validate $(BUILD)-deb/unpacked/usr/share/applications/tevran.desktop
	appstreamcli validate --no-net \
		$(BUILD)-deb/unpacked/usr/share/metainfo/org.example.tevran.metainfo.xml

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	cmake -S . -B $(BUILD)-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTEVRAN_SANITIZE=ON
	cmake --build $(BUILD)-asan -j $(JOBS)
	cd $(BUILD)-asan && LSAN_OPTIONS=suppressions=$(CURDIR)/tests/support/lsan.supp:print_suppressions=0 \
		ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-deb
