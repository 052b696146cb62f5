# The benchmark scripts' figures: sourced, not run.

# The median of the numbers on standard input, one a line.
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
# The snapshot tool's frames per second at a size, offscreen:
#   offscreen_rate SNAPSHOT WIDTHxHEIGHT
offscreen_rate() {
    local start end count=3000
    start=$(date +%s%N)
    "$1" --size "$2" --frames "$count" >/dev/null
    end=$(date +%s%N)
    awk -v n=$count -v ns=$((end - start)) 'BEGIN {printf "%.0f", n / (ns / 1e9)}'
}
# a / b to two decimals.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
