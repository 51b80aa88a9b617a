# FILENAME's reading cost against playlist size, for the module and the bare fgets loop.
set terminal pngcairo size 800,500 font ",11"
set output out
set title "FILENAME: reading up to the last entry"
set logscale xy
set xlabel "entries before the current one"
set ylabel "CPU time per read (µs)"
set key top left
set grid
plot data using 1:2 with linespoints lw 2 title "tolbry reader", \
     data using 1:3 with linespoints lw 2 dt 2 title "bare fgets loop"
