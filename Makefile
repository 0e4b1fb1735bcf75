# Two entry points for a fresh Debian 12 machine:
#   make run   installs what is missing, builds, and starts the application
#   make test  installs what is missing, builds, and runs every test headless
BUILD   ?= build
JOBS    ?= $(shell nproc)
PACKAGES = cmake g++ ninja-build qt6-base-dev libsqlite3-dev sqlite3 \
           googletest libgtest-dev libgmock-dev fonts-liberation \
           poppler-utils qt6-translations-l10n fonts-comic-neue fonts-dejavu-core \
           xvfb desktop-file-utils lintian xdotool dpkg-dev

.PHONY: deps configure build test run clean

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  sudo=""; [ "$$(id -u)" -ne 0 ] && sudo=sudo; \
	  echo "Installing:$$missing"; \
	  $$sudo apt-get update -qq && \
	  $$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

configure: deps
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) -G Ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest -j $(JOBS) --output-on-failure

run: build
	./tools/run-sample.sh $(BUILD)

clean:
	rm -rf $(BUILD)
