# Writes a GSAS time-of-flight listing of about MB megabytes (default 200) to
# standard output, for the reading-speed benchmark:
#
#   mawk -v MB=200 -f bench/gsas_listing.awk > big.lst
#
# Four histograms on four banks. Half of the size is refinement cycles (shift
# tables) before " Reduced CHI**2 =", the other half the reflection lists of
# histograms 1 to 3, all of which the reader passes over on its way to
# histogram 4, whose list of 1500 reflections ends the file. Convert it with
# histogram 4, phase 1 and the detector angles 50 80 110 140.
function page(program) {
  pages++
  printf "1 %-66s%-9sVersion Linux    Fri Dec 06 18:24:01 2024 Page %3d\n", title, program, pages
  printf " %s\n\n", title
  bytes += 240
}

function cycle(n,    i, line) {
  printf " Cycle %3d There were %8d observations.\n", n, 43210 + n
  printf " Total before-cycle CHI**2 (offset/sig) =  %.4E ( %.4E)\n\n", 12345.0 / n, 12345.0 / n
  print "  Histogram  Type   Nobs   Ndata      Rwp        Rp      DWD    Integral"
  for (i = 1; i <= NH; i++) {
    printf "  %5d      PNT  %6d  %6d    %.4f    %.4f    %.3f  %.4f\n", i, 10000 + i, 10300 + i, 0.0512 + 0.01 / n, 0.0431, 1.231, 0.9876
  }
  print "\n Shift/esd table:\n  name          old value      shift/esd    new value"
  bytes += 420
  for (i = 1; i <= PARAMS; i++) {
    line = sprintf("  %-12s %12.6f %12.4f %12.6f", names[i % 8] " " int(i / 8) + 1, 1.0 + i / 1000.0, 0.1 / (n + i), 1.0 + i / 1000.0)
    print line
    bytes += length(line) + 1
  }
  printf " Final variable sum((shift/esd)**2) for cycle %3d: %12.2f Time: %8.2f sec\n\n", n, 10.0 / n, 4.25
  bytes += 80
}

function record(serial, h, k, l, d) {
  return sprintf("%6d%3d%3d%3d%4d%5d%8.5f 0.%03dE+01 0.200E-01 0.%03dE+01 0.%03dE+01%6.1f%10.2f%10.4f%10.4f%10.4f", serial, h, k, l, 24, 1021, d, 100 + serial % 900, 100 + (serial * 7) % 900, 100 + (serial * 7) % 900, (serial % 2) * 180.0, 4000 * d, 8.1, 0.0, 1.0)
}

function block(hist, target,    serial, line) {
  printf " Histogram %2d data from file BENCH.RAW      Bank %2d  Type PNT\n", hist, hist
  if (hist == 1) print " Serial  h  k  l mul code  d-space  Fo**2(I)    sig(I)  Fo**2(A)     Fc**2  phas       TOF      FWHM       Ext      Absn"
  bytes += 190
  serial = 0
  while (bytes < target) {
    serial++
    if (serial % 60 == 0) {
      page("REFLIST")
      print " Serial  h  k  l mul code  d-space  Fo**2(I)    sig(I)  Fo**2(A)     Fc**2  phas       TOF      FWHM       Ext      Absn"
      bytes += 120
    }
    line = record(serial, 1 + serial % 9, serial % 7, serial % 5, 0.4 + 3.0 / (1 + serial % 400))
    print line
    bytes += length(line) + 1
  }
  print ""
}

BEGIN {
  if (MB == "") MB = 200
  NH = 4
  PARAMS = 2000
  half = MB * 1048576 / 2
  title = "Benchmark listing: Ni powder, four banks"
  split("SCALE BACKGRD ZERO DIFC DIFA CELL FRAC UISO", tmp, " ")
  for (i = 1; i <= 8; i++) names[i - 1] = tmp[i]

  page("GENLES")
  print " Program GENLES: least squares refinement of BENCH\n"
  print " Diffractometer constants for powder data:"
  print " Hst Typ   DIFC       DIFA      ZERO"
  for (h = 1; h <= NH; h++) {
    printf "%3d  PNT   %7.2f    -1.42      -3.21\n", h, 2000 + 500 * h
    if (h < NH) print ""
  }
  print "\n Hstgm   Type Bank  2-theta   L2    Data file"
  for (h = 1; h <= NH; h++) printf " Hstgm %2d PNT  %2d   %6.2f   0.7500  BENCH.RAW\n", h, h, 20 + 30 * h
  print ""

  n = 0
  while (bytes < half) cycle(++n)
  print " Convergence was achieved\n"
  print " Reduced CHI**2 =    1.874     for 2000 variables\n"
  print " Phase/element fractions for phase no. 1"
  print "  Hstgm         1              2              3              4"
  print "  ------------------------------------------------------------"
  print " Fraction     1.000000(0)    0.900000(0)    0.800000(0)    0.700000(0)\n"
  print " Lattice constants are"
  print "                 a         b         c       alpha     beta      gamma"
  print " Values:     3.523879  3.523879  3.523879    90.000    90.000    90.000\n"

  page("REFLIST")
  for (h = 1; h < NH; h++) block(h, half + half * h / (NH - 1))
  printf " Histogram %2d data from file BENCH.RAW      Bank %2d  Type PNT\n", NH, NH
  for (s = 1; s <= 1500; s++) print record(s, 1 + s % 9, s % 7, s % 5, 0.4 + 3.0 / s)
  print ""
  print " Program REFLIST finished"
}
