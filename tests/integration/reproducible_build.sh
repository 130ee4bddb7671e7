#!/usr/bin/env bash
# Two checkouts of the same sources at different paths, built at different
# times in different time zones and umasks, give the same DLL, nolvhost,
# surrogate program(s), import library, ZIP and list of sums, byte for
# byte. Only what the package holds is built.
#   reproducible_build.sh SOURCE-DIR WORK-DIR ARCH
set -euo pipefail
source_dir=$1
work=$2
arch=$3

# The copies carry no .git: their packages are dated by the checkout's
# commit, as the package script would date them. The builds themselves get
# no SOURCE_DATE_EPOCH (ld would take it for the PE time stamp): they run
# as scripts/build runs them.
commit_time=$(git -C "$source_dir" log -1 --format=%ct)
# The 64-bit package also holds the 32-bit surrogate program.
surrogates=(nolvsurrogate)
if [[ $arch == x86_64 ]]; then surrogates+=(nolvsurrogate32); fi

build() {  # build CHECKOUT-DIR
    local checkout=$1
    mkdir -p "$checkout"
    tar -C "$checkout" -xf "$work/sources.tar"
    cmake -S "$checkout" -B "$checkout/build" -Wno-dev -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$checkout/cmake/mingw-$arch.cmake" \
        -DBUILD_TESTING=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
    cmake --build "$checkout/build" -j2 --target Nolv_Lib_Wrapper Nolv_Lib_Wrapper_import_library nolvhost \
        "${surrogates[@]}" \
        -- --no-print-directory >/dev/null
    (cd "$checkout/build" && SOURCE_DATE_EPOCH=$commit_time cpack -B "$checkout/package" >/dev/null)
}

rm -rf "$work"
# One copy of the sources for both checkouts, so that an edit made while
# the test runs cannot pass for a build that is not reproducible.
mkdir -p "$work"
tar -C "$source_dir" --exclude=./build --exclude=./.git -cf "$work/sources.tar" .
build "$work/a/src"
(umask 077; TZ=Asia/Tokyo build "$work/second-checkout/Nolv_Lib_Wrapper")

first=$work/a/src
second=$work/second-checkout/Nolv_Lib_Wrapper
failures=0
built=(build/bin/Nolv_Lib_Wrapper.dll build/bin/nolvhost.exe build/lib/Nolv_Lib_Wrapper.lib)
for surrogate in "${surrogates[@]}"; do built+=("build/bin/$surrogate.exe"); done
packaged=$(cd "$first" && ls package/*.zip package/*.sha256)
for file in "${built[@]}" $packaged; do
    if cmp -s "$first/$file" "$second/$file"; then
        echo "ok   $file identical"
    else
        echo "FAIL $file differs"
        failures=$((failures + 1))
    fi
done
for file in "${built[@]}"; do
    if strings -a "$first/$file" | grep -q "$work"; then
        echo "FAIL $file holds a build path"
        failures=$((failures + 1))
    fi
done
((failures == 0)) && rm -rf "$work"
exit $((failures > 0))
