# Bar chart of the benchmark ratios (operation / baseline of the same run)
# with each operation's goal. Called by scripts/bench.sh:
#   gnuplot -e "datafile='ratios.dat'; outfile='performance.png'" scripts/plot_bench.gp
if (!exists("datafile")) datafile = 'ratios.dat'
if (!exists("outfile")) outfile = 'performance.png'
set terminal pngcairo size 1000,520 font "sans,10"
set output outfile
set title "Quillet: cost of each operation relative to its baseline (same run)"
set ylabel "operation time / baseline time"
set style data histograms
set style histogram clustered gap 1
set style fill solid 0.8 border -1
set boxwidth 0.9
set yrange [0:*]
set offsets 0, 0, graph 0.08, 0
set grid ytics
set xtics rotate by -20 scale 0
set key top left
plot datafile using 2:xtic(1) title "measured ratio" linecolor rgb "#3465a4", \
     '' using 3 title "goal" linecolor rgb "#e9b96e", \
     1 with lines dashtype 2 linecolor rgb "#555555" title "baseline (1.0)"
