#!/bin/sh
# Nothing below ui/ reaches Qt: none of the libraries named asks for a Qt symbol, and none of
# the programs named loads a Qt library. (The configuration's own check, cmake/NoQtBelowUi.cmake,
# holds the targets' link interfaces and include paths; this holds what was built.)
#   no_qt_below_ui.sh FILE...   (static libraries, .a; programs, anything else)
failed=0
for file in "$@"; do
  case "$file" in
    *.a)
      found=$(nm -C -u "$file" 2>/dev/null | grep -E '(^|[^A-Za-z0-9_])(Q[A-Z][A-Za-z0-9]*::|qt_)' | head -3)
      ;;
    *)
      found=$(ldd "$file" 2>/dev/null | grep -E 'libQt[0-9]' | head -3)
      ;;
  esac
  if [ -n "$found" ]; then
    echo "Qt below ui/: $file"
    printf '%s\n' "$found"
    failed=1
  else
    echo "no Qt: $file"
  fi
done
exit $failed
