#!/usr/bin/env bash
# The layers point one way: a file may include headers of its own folder and of
# the folders below it, never of one above. Prints every include that breaks
# the rule and fails when there is one.
#   platform, vst, resources  <-  data  <-  units  <-  plugin  <-  editor
#   toolkit (our GUI kit) sits beside them and knows nothing of Corvina.
set -u
cd "${1:-$(dirname "$0")/..}" || exit 2
declare -A allowed=(
  [platform]="platform"
  [vst]="vst"
  [resources]="resources"
  [data]="data platform resources"
  [units]="units data platform"
  [plugin]="plugin units data platform vst resources"
  [toolkit]="toolkit platform"
  [editor]="editor toolkit plugin units data platform vst resources"
)
# The module's entry point is the root that ties every layer together.
allowed[plugin/entry]="plugin editor toolkit units data platform vst resources"
bad=0
for folder in "${!allowed[@]}"; do
  [ -d "$folder" ] || continue
  while IFS= read -r line; do
    file=${line%%:*}
    target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"$line")
    case " ${allowed[$folder]} " in
      *" $target "*) ;;
      *) echo "$file includes a header of $target/, above $folder/: $line"; bad=1 ;;
    esac
  done < <(grep -rnE '^#include "[^/"]+/' "$folder" --include='*.cpp' --include='*.hpp' --include='*.h' --include='*.c' |
           { [ "$folder" = plugin ] && grep -v '^plugin/entry/' || cat; })
done
exit $bad
