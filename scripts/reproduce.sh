#!/usr/bin/env bash
# Checks that a commit's release artefacts are reproducible: builds them
# twice, from two fresh clones in folders of different names, one after the
# other and in different time zones and locales, and compares the sha256 of
# each: tolvane.exe and its installer (MinGW-w64, NSIS), and the .deb. It
# prints the pairs and exits 1 when one differs (both builds are then kept
# to look at, e.g. with diffoscope), 2 on a wrong argument.
# The commit's time is SOURCE_DATE_EPOCH (cmake/Reproducible.cmake): any
# value in the environment is dropped, so both builds take it from git.
# Usage: scripts/reproduce.sh [--windows | --linux] [COMMIT]
#        (default: both halves, HEAD; uncommitted changes are not built)
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

halves=(windows linux)
rev=HEAD
for arg in "$@"; do
  case $arg in
    --windows) halves=(windows) ;;
    --linux) halves=(linux) ;;
    -h | --help) sed -n '2,/^set -e/{/^set -e/d;s/^# \{0,1\}//;p}' "$0"; exit 0 ;;
    -*) echo "reproduce.sh: unknown option $arg (see --help)" >&2; exit 2 ;;
    *) rev=$arg ;;
  esac
done
commit=$(git rev-parse --verify --quiet "$rev^{commit}") \
  || { echo "reproduce.sh: $rev is no commit here" >&2; exit 2; }

for tool in git cmake cpack ninja sha256sum; do
  command -v "$tool" >/dev/null || { echo "reproduce.sh: $tool is missing (scripts/deps.sh)" >&2; exit 1; }
done
if [[ " ${halves[*]} " == *" windows "* ]]; then
  for tool in x86_64-w64-mingw32-g++-posix makensis; do
    command -v "$tool" >/dev/null \
      || { echo "reproduce.sh: $tool is missing (scripts/test-windows.sh installs it)" >&2; exit 1; }
  done
fi
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "reproduce.sh: note: uncommitted changes are not in the builds"
fi

unset SOURCE_DATE_EPOCH
umask 022  # CPack's .deb writer takes its ar members' modes from the umask
work=$(mktemp -d /tmp/tolvane-reproduce.XXXXXX)
keep=
finish() {
  local status=$?
  if [ "$status" = 0 ] && [ -z "$keep" ]; then
    rm -rf "$work"
  else
    echo "reproduce.sh: the two builds are kept in $work"
  fi
}
trap finish EXIT

# build NAME TZ LOCALE: a clone at the commit in $work/NAME/src, its
# artefacts copied to $work/NAME/out.
build() {
  local dir=$work/$1 out=$work/$1/out log=$work/$1/build.log
  mkdir -p "$out"
  git clone -q --no-checkout "$repo" "$dir/src"
  git -C "$dir/src" checkout -q --detach "$commit"
  echo "reproduce.sh: building in $dir/src ($(date -u +%T) UTC, TZ=$2, LC_ALL=$3)"
  local status=0
  set +e  # the subshell's own -e stops it at the first failure
  (
    set -e
    export TZ=$2 LC_ALL=$3
    cd "$dir/src"
    for half in "${halves[@]}"; do
      if [ "$half" = windows ]; then
        b=build/win-release
        nice -n 10 cmake -S . -B $b -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
          -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
        nice -n 10 cmake --build $b --target tolvane -j 2
        nice -n 10 cpack --config $b/CPackConfig.cmake -B $b/packages
        if [ -f $b/packaging/program-path.txt ]; then
          program=$(cat $b/packaging/program-path.txt)
        else  # a commit from before the build named it
          program=$(find $b -name tolvane.exe -not -path '*/_CPack_Packages/*' | head -n 1)
        fi
        cp "$program" "$out/tolvane.exe"
        cp $b/packages/tolvane-*-win64.exe "$out/"
      else
        b=build/release
        nice -n 10 cmake -S . -B $b -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
        nice -n 10 cmake --build $b --target tolvane -j 2
        nice -n 10 cpack --config $b/CPackConfig.cmake -G DEB -B $b/packages
        cp $b/packages/tolvane_*.deb "$out/"
      fi
    done
  ) >"$log" 2>&1
  status=$?
  set -e
  if [ "$status" != 0 ]; then
    tail -n 40 "$log"
    echo "reproduce.sh: the build in $dir FAILED" >&2
    exit 1
  fi
}

started=$SECONDS
echo "reproduce.sh: commit $(git log -1 --format='%h, %cd' --date=iso-strict "$commit")" \
  "(SOURCE_DATE_EPOCH $(git log -1 --format=%ct "$commit"))"
build a UTC0 C
build second-build-folder XST-13:45 C.UTF-8

differ=0
for first in "$work"/a/out/*; do
  name=$(basename "$first")
  second=$work/second-build-folder/out/$name
  sum1=$(sha256sum "$first" | cut -d' ' -f1)
  sum2=$( [ -e "$second" ] && sha256sum "$second" | cut -d' ' -f1 || echo missing)
  if [ "$sum1" = "$sum2" ]; then verdict=same; else verdict=DIFFERENT; differ=1; fi
  printf '%-28s %s\n%-28s %s  %s\n' "$name" "$sum1" "" "$sum2" "$verdict"
done
elapsed=$((SECONDS - started))
echo "reproduce.sh: ${halves[*]}: two builds in $((elapsed / 60)) min $((elapsed % 60)) s"
if [ "$differ" = 1 ]; then
  keep=1
  echo "reproduce.sh: the builds DIFFER" >&2
  command -v diffoscope >/dev/null \
    && echo "reproduce.sh: compare with: diffoscope $work/a/out/NAME $work/second-build-folder/out/NAME"
  exit 1
fi
echo "reproduce.sh: every artefact is the same in both builds"
