#!/bin/bash
# Reruns the art and audio scripts into a scratch folder and compares the
# result byte for byte with the committed files. Exit 0: identical; 1: they
# differ (rerun the scripts and commit, or find what made them drift);
# 77: espeak-ng or sox is not installed here. Given the built
# tools/render_figures, the dialog's title picture is compared as well.
set -eu
render_figures=${1:-}
here=$(cd "$(dirname "$0")" && pwd)
for tool in espeak-ng sox python3; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool not installed"; exit 77; }
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

python3 "$here/make_banner.py" "$scratch/banner.bmp"
python3 "$here/make_icon.py" "$scratch/brackwold.ico"
python3 "$here/make_audio.py" "$scratch/wave"

status=0
cmp -s "$scratch/banner.bmp" "$here/banner.bmp" || { echo "banner.bmp differs"; status=1; }
cmp -s "$scratch/brackwold.ico" "$here/brackwold.ico" || { echo "brackwold.ico differs"; status=1; }
if [ -n "$render_figures" ]; then
    python3 "$here/make_title.py" "$render_figures" "$scratch/title.bmp"
    # Software GL may round a few pixels differently on another processor.
    cmp -s "$scratch/title.bmp" "$here/title.bmp" ||
        python3 "$here/make_title.py" --compare "$scratch/title.bmp" "$here/title.bmp" ||
        { echo "title.bmp differs"; status=1; }
fi
for made in "$scratch"/wave/*.wav; do
    name=$(basename "$made")
    cmp -s "$made" "$here/wave/$name" || { echo "wave/$name differs or is not committed"; status=1; }
done
for kept in "$here"/wave/*.wav; do
    [ -e "$scratch/wave/$(basename "$kept")" ] || { echo "wave/$(basename "$kept") is no longer made"; status=1; }
done
[ $status = 0 ] && echo "art and audio regenerate identically"
exit $status
