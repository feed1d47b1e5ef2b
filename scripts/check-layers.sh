#!/usr/bin/env bash
# Checks that every include between the source folders points down the layers:
#   core (with core/layout) < navcmd < format < repair, vob < navigator, session, image < player
#   < cli, ui
# Folders of one layer do not include each other. Prints each include that points up or sideways.
set -euo pipefail
cd "$(dirname "$0")/../src"
declare -A rank=([core]=0 [navcmd]=1 [format]=2 [repair]=3 [vob]=3 [navigator]=4 [session]=4 [image]=4 [player]=5 [cli]=6 [ui]=6)
bad=0
for folder in "${!rank[@]}"; do
  while IFS=: read -r file _ include; do
    target=${include%%/*}
    [ -n "${rank[$target]+x}" ] || continue
    if [ "$target" != "$folder" ] && [ "${rank[$target]}" -ge "${rank[$folder]}" ]; then
      echo "$file includes $include"
      bad=1
    fi
  done < <(grep -rno '#include "[a-z_]*/[^"]*"' "$folder" | sed 's/#include "//; s/"$//')
done
if [ "$bad" -eq 0 ]; then echo "layers: every include points down"; fi
exit "$bad"
