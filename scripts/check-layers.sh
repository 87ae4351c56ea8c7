#!/usr/bin/env bash
# Fails when a file of the program includes a part that its own part may not
# include, so that every dependency runs one way: the window calls into the
# subsystems, the subsystems and the platform use the core, the core nothing.
set -euo pipefail
cd "$(dirname "$0")/.."

# The part a path belongs to.
part_of() {
  case "$1" in
    app/main.cpp) echo main ;;
    app/window/*) echo app/window ;;
    app/core/*) echo app/core ;;
    app/platform/*) echo app/platform ;;
    folders/*) echo folders ;;
    search/*) echo search ;;
    actions/*) echo actions ;;
    *) echo other ;;
  esac
}

# The parts each part may include besides itself.
allowed_for() {
  case "$1" in
    main) echo "app/window app/platform app/core" ;;
    app/window) echo "folders search actions app/core" ;;
    folders | search | actions | app/platform) echo "app/core" ;;
    app/core) echo "" ;;
  esac
}

status=0
while IFS= read -r file; do
  from=$(part_of "$file")
  allowed=" $from $(allowed_for "$from") "
  while IFS=: read -r line included; do
    to=$(part_of "$included")
    [ "$to" = other ] && continue
    if [[ "$allowed" != *" $to "* ]]; then
      echo "$file:$line: $from may not include $included"
      status=1
    fi
  done < <(grep -n -o -E '^#include "[^"]+"' "$file" | sed -E 's/#include "([^"]+)"/\1/')
done < <(git ls-files 'app/*' 'folders/*' 'search/*' 'actions/*' | grep -E '\.(cpp|h)$')

if [ "$status" -eq 0 ]; then
  echo "layers: every include follows the rule"
fi
exit "$status"
