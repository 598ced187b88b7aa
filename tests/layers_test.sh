#!/usr/bin/env bash
# Reads every include line under a source tree (src/) and fails on one that
# runs against the layering:
#   app/            the engine, itself and the C++ standard library only;
#   probe/ resolve/ no toolkit and nothing above the engine;
#   qt/ and win32/  never each other; no Windows headers in qt/, no Qt in win32/.
set -u
src=${1:?usage: layers_test.sh SRC_DIR}
bad=0

report() {  # file, line, why
  echo "$1: $2   <- $3"
  bad=1
}

while IFS= read -r -d '' file; do
  layer=${file#"$src"/}
  layer=${layer%%/*}
  while IFS= read -r line; do
    target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*([<"])([^>"]*)[>"].*/\1\2/' <<<"$line")
    kind=${target:0:1}
    name=${target:1}
    case $layer in
      app)
        if [ "$kind" = '"' ]; then
          case $name in app/* | probe/* | resolve/*) ;; *) report "$file" "$line" "app includes only the engine and itself" ;; esac
        elif ! [[ $name =~ ^[a-z_]+$ ]]; then
          report "$file" "$line" "app includes no header beyond the C++ standard library"
        fi ;;
      probe | resolve)
        case $name in
          app/* | qt/* | win32/* | Q* | Qt*/*) report "$file" "$line" "the engine knows no toolkit and no window" ;;
        esac ;;
      qt)
        case $name in
          win32/* | windows.h | [Ww]in*.h) report "$file" "$line" "the Qt front-end doesn't include the Win32 one" ;;
        esac ;;
      win32)
        case $name in
          qt/* | Q* | Qt*/*) report "$file" "$line" "the Win32 front-end doesn't include Qt or the Qt front-end" ;;
        esac ;;
    esac
  done < <(grep -E '^[[:space:]]*#[[:space:]]*include' "$file")
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.h.in' \) -print0)

[ "$bad" -eq 0 ] && echo "every include runs with the layering"
exit "$bad"
