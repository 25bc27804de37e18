# The stage of the full-screen saver on a real X display: a square GL child
# window of half the stage area's height that drifts about inside that area,
# a black screen around it, and the banner creeping along the bottom strip.
source "$(dirname "$0")/lib.sh"

shots=$(mktemp -d)
trap 'cleanup; rm -rf "$shots"' EXIT

# Prints "WxH+X+Y" of the saver's square child of side $2, or nothing.
stage_geometry() {
    xwininfo -tree -id "$1" 2>/dev/null |
        grep -oE '[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+' |
        awk -F'[x+]' -v side="$2" '$1 == side && $2 == side { print; exit }'
}

# Horizontal offset of the lit part of the banner strip, or "none".
strip_left() {  # strip_left FILE
    local box
    box=$($IM "$1" -crop "${width}x20+0+${area_h}" +repage -fuzz 4% -trim -format '%w %X' info: 2>/dev/null)
    case $box in
        "" | 1\ *) echo none ;;  # -trim of an all-black strip leaves one pixel
        *) echo "${box#* }" | tr -d + ;;
    esac
}

inside_area() {  # inside_area WxH+X+Y
    local w h x y
    IFS='x+' read -r w h x y <<<"$1"
    [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le "$width" ] && [ $((y + h)) -le "$area_h" ]
}

start_saver /s
saver=$(wait_for_saver_window)
check "/s maps a saver window" test -n "$saver"
size=$(screen_size)
width=${size%x*}
height=${size#*x}
area_h=$((height - 20))
side=$((area_h / 2))  # Size 50 with no settings file

# Positions of the stage, sampled for three seconds once it is there and on
# until it has stood in three places: however few samples a busy machine
# allows, time decides.
positions=()
missed=0
stage_present() { [ -n "$(stage_geometry "$saver" "$side")" ]; }
sample_stage() {
    local geometry
    geometry=$(stage_geometry "$saver" "$side")
    if [ -n "$geometry" ]; then positions+=("$geometry"); else missed=$((missed + 1)); fi
}
distinct() { printf '%s\n' "${positions[@]}" | sort -u | wc -l; }
moved() { sample_stage; [ "$(distinct)" -ge 3 ]; }
wait_until 10 stage_present
holds 3 sample_stage
wait_until 10 moved
check "the stage is a ${side}x${side} child of the saver window (missed $missed of $((${#positions[@]} + missed)))" \
    test "${#positions[@]}" -gt 0 -a "$missed" -le 2
outside=0
for geometry in "${positions[@]}"; do inside_area "$geometry" || outside=$((outside + 1)); done
check "the stage stays inside the area above the banner strip" test "$outside" -eq 0
check "the stage moves over time ($(distinct) positions)" test "$(distinct)" -ge 3

import -window root "$shots/first.png"
strip() { $IM "$1" -crop "${width}x20+0+${area_h}" +repage rgb:- | md5sum; }
strip_first=$(strip "$shots/first.png")
banner_moved() {
    import -window root "$shots/second.png" && [ "$(strip "$shots/second.png")" != "$strip_first" ]
}
wait_until 20 banner_moved
geometry=$(stage_geometry "$saver" "$side")

# Black around the stage: at most the stage's own pixels (and 1 % of the
# area) are lit.
area_lit=$(lit "$shots/second.png" "${width}x${area_h}+0+0")
check "the screen around the stage is black ($area_lit pixels lit, the stage has $((side * side)))" \
    awk -v lit="$area_lit" -v most=$((side * side + width * area_h / 100)) 'BEGIN { exit !(lit <= most) }'

# Whatever is lit above the strip lies on the stage (which may have moved a
# few ticks between the screenshot and the query).
lit_box=$($IM "$shots/second.png" -crop "${width}x${area_h}+0+0" +repage -fuzz 4% -trim -format '%w %h %X %Y' info:)
read -r box_w box_h box_x box_y <<<"${lit_box//+/}"
IFS='x+' read -r stage_w stage_h stage_x stage_y <<<"${geometry:-0x0+0+0}"
on_stage() {
    [ "$box_w" -le 1 ] && [ "$box_h" -le 1 ] && return 0  # nothing lit: a figure that draws nothing yet
    [ "$box_x" -ge $((stage_x - 40)) ] && [ "$box_y" -ge $((stage_y - 40)) ] &&
        [ $((box_x + box_w)) -le $((stage_x + stage_w + 40)) ] && [ $((box_y + box_h)) -le $((stage_y + stage_h + 40)) ]
}
check "everything lit above the strip is on the stage (lit ${lit_box}, stage ${geometry})" on_stage

first_left=$(strip_left "$shots/first.png")
second_left=$(strip_left "$shots/second.png")
check "the banner shows in the bottom strip ($first_left)" test "$first_left" != none
check "the banner starts at the right end of the strip" \
    test "$first_left" != none -a "$first_left" -ge $((width - 240)) 2>/dev/null
check "the banner moves between ticks" test "$strip_first" != "$(strip "$shots/second.png")"

xdotool key Escape
check "a key press ends the saver with exit code 0" expect_code 0 5
saver_pid=

finish
