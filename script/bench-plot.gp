# FILENAME's cost under Wine against playlist size: the module, the ReadFile + scan floor and fgets.
set terminal pngcairo size 800,500 font ",11"
set output out
set title "FILENAME under Wine: reading up to the last entry"
set logscale xy
set xlabel "entries before the current one"
set ylabel "time per call (µs)"
set key top left
set grid
plot data using 1:2 with linespoints lw 2 title "tolbry FILENAME", \
     data using 1:3 with linespoints lw 2 dt 2 title "ReadFile + word scan (floor)", \
     data using 1:4 with linespoints lw 2 dt 3 title "msvcrt fgets loop"
