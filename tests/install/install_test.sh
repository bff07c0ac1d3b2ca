#!/usr/bin/env bash
# install_test.sh <build dir> <scratch dir> <source dir>
set -euo pipefail
build=$1 scratch=$2 source=$3
rm -rf "$scratch" && mkdir -p "$scratch"
prefix="$scratch/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

test -x "$prefix/bin/tevrin"
"$prefix/bin/tevrin" --version
# Where udev looks, relative to the prefix, whatever the library directory is.
test -f "$prefix/lib/udev/rules.d/70-tevrin-cameras.rules"

export PKG_CONFIG_PATH="$prefix/lib/pkgconfig:$prefix/lib/$(gcc -print-multiarch)/pkgconfig"
cc -std=c11 -Wall -Werror "$source/consumer.c" -o "$scratch/consumer" $(pkg-config --cflags --libs TevrinSdk_Halden)
"$scratch/consumer"

mkdir -p "$scratch/cmake-consumer"
cat >"$scratch/cmake-consumer/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.25)
project(consumer C)
find_package(TevrinSdk_Halden REQUIRED)
add_executable(consumer $source/consumer.c)
target_link_libraries(consumer PRIVATE TevrinSdk_Halden::TevrinSdk_Halden)
CMAKE
cmake -S "$scratch/cmake-consumer" -B "$scratch/cmake-consumer/build" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$scratch/cmake-consumer/build" >/dev/null
LD_LIBRARY_PATH="$prefix/lib:$prefix/lib/$(gcc -print-multiarch)" "$scratch/cmake-consumer/build/consumer"
echo "install test passed"
