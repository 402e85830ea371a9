# The README's commands. Every target first installs what is missing.
.PHONY: setup test build

setup:
	@bash scripts/setup

build: setup
	cmake --preset default
	cmake --build --preset default

test: build
	ctest --preset default
