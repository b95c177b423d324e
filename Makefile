# The two commands a newcomer needs: `make run` and `make test`.
BUILD   ?= build
DEMO    ?= demo
JOBS    ?= $(shell nproc)
PREFIX  ?= /usr/local
# What building, running and testing need (the tests check the installed
# desktop entry, metainfo and manual pages with their own validators; the
# report pages' golden layouts measure Chinese names in Droid Sans Fallback,
# so that every machine lays them out alike).
PACKAGES = cmake g++ make qt6-base-dev libsqlite3-dev sqlite3 fonts-liberation2 fonts-droid-fallback \
           desktop-file-utils appstream man-db libpq-dev postgresql libicu-dev
# What making the Debian package needs besides (lintian checks it).
PACKAGE_TOOLS = dpkg-dev file lintian
# make install strips the programs, as a package has them; with
# INSTALL_STRIP= they keep their symbols and debugging information.
INSTALL_STRIP ?= --strip

.PHONY: all deps build run test bench install package clean

all: build

# Installs whatever Debian package is missing (as root), or says the one
# line to run.
deps:
	@missing=""; for p in $(PACKAGES) $(EXTRA_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else \
	    echo "Missing packages. Run:"; echo "  sudo apt-get install -y$$missing"; exit 1; \
	  fi; \
	fi

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# Builds, makes a demo data folder if there is none, and starts the program on it.
run: build
	@if [ ! -f $(DEMO)/cvd.mdb ]; then $(BUILD)/cvdtool demo $(DEMO); fi
	@cp -f data/cvd.hlp $(DEMO)/cvd.hlp
	cd $(DEMO) && $(abspath $(BUILD))/cvd

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Benchmarks on a demo database of a million requests (made once in bench/out).
bench: build
	bash bench/run.sh $(BUILD)

# Installs the programs, the help file, the desktop entry, the icons, the
# metainfo, the manual pages, the copyright file and the changelog under
# PREFIX (and DESTDIR, when given), the programs stripped.
install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX) $(INSTALL_STRIP)

# Builds calvedon_VERSION_ARCH.deb in a build folder of its own (release
# build, without the tests), and fails when lintian finds an error or a
# warning in it.
package:
	$(MAKE) deps EXTRA_PACKAGES="$(PACKAGE_TOOLS)"
	cmake -S . -B $(BUILD)-package -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
	cmake --build $(BUILD)-package -j $(JOBS)
	rm -f $(BUILD)-package/calvedon_*.deb
	cd $(BUILD)-package && cpack -G DEB
	lintian --fail-on error,warning $(BUILD)-package/calvedon_*.deb
	@ls $(BUILD)-package/calvedon_*.deb

clean:
	rm -rf $(BUILD)
