#!/bin/bash
# Includes point down only: app -> panel, editor, protect -> store -> win -> base.
# Two folders of the same level never include each other. Prints every include that breaks
# this and exits 1; run by ctest.
cd "$(dirname "${BASH_SOURCE[0]}")/../src" || exit 2
rank() {
  case "$1" in
    base) echo 1 ;; win) echo 2 ;; store) echo 3 ;;
    panel|editor|protect) echo 4 ;; app) echo 5 ;; *) echo 0 ;;
  esac
}
bad=0
for f in */*.h */*.cpp; do
  from=${f%%/*}
  rf=$(rank "$from")
  if [ "$rf" = 0 ]; then echo "$f: folder '$from' has no place in the layers"; bad=1; continue; fi
  while IFS= read -r line; do
    to=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z_]*\)\/.*/\1/p' <<<"$line")
    [ -n "$to" ] || continue
    [ "$to" = "$from" ] && continue
    rt=$(rank "$to")
    if [ "$rt" = 0 ] || [ "$rt" -ge "$rf" ]; then
      echo "$f: includes $to/ ($line)"; bad=1
    fi
  done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$f")
done
[ $bad = 0 ] && echo "layers: every include points down"
exit $bad
