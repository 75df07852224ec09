# SPDX-License-Identifier: MIT
# Time between frames on screen during the animation phase, program above and
# baseline below, one line per pair, against the nominal 100 ms.
#
#   gnuplot -c plot_tick_periods.gp tick_periods.csv tick_periods.png
#
# The CSV is the runner's: pair,subject,time_s,period_ms.

input = ARG1
set datafile separator ","
set terminal png size 800,560 font "DejaVuSans,9"
set output ARG2

# The highest pair number is the number of pairs.
stats input skip 1 using 1 nooutput
pairs = int(STATS_max)
# One scale for both panels, showing at least 95..105 ms.
stats input skip 1 using 4 nooutput
low = STATS_min < 95 ? floor(STATS_min) : 95
high = STATS_max > 105 ? ceil(STATS_max) : 105

set multiplot layout 2,1 title "Time between frames on screen (nominal 100 ms)"
set xlabel "time in the animation phase (s)"
set ylabel "period (ms)"
set yrange [low:high]
set grid ytics
set key outside right

# Rows of one pair and one subject are consecutive, so each forms one line;
# every other row gives NaN, which gnuplot leaves out.
period(subject, pair) = (strcol(2) eq subject && $1 == pair) ? $4 : NaN

do for [subject in "program baseline"] {
    # Also stops the script with an error if the subject has no periods.
    stats input skip 1 using (strcol(2) eq subject ? $4 : NaN) nooutput
    set title sprintf("%s: mean %.2f ms, standard deviation %.2f ms, %d periods", \
                      subject, STATS_mean, STATS_stddev, STATS_records)
    plot for [p=1:pairs] input skip 1 using 3:(period(subject, p)) with linespoints pointtype 7 \
             pointsize 0.4 title sprintf("pair %d", p), \
         100 with lines linecolor "gray40" title "100 ms"
}
unset multiplot
