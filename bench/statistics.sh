# The benchmark scripts' figures: sourced, not run.

# The median of the numbers on standard input, one a line.
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
# a / b to two decimals.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
