# Writes a FullProf output of about MB megabytes (default 200) to standard
# output, and its second file to FOU, for the reading-speed benchmark:
#
#   mawk -v MB=200 -v FOU=big.fou -f bench/fullprof_output.awk > big.out
#
# One pattern, one phase, in the older layout. Nearly all of the size is
# refinement cycles (atom shifts, profile parameters, cell) before the last
# one; the last cycle, the reflection table of 1500 reflections and
# " => Run finished" end the file. The reader passes over the cycles twice:
# to find the last one, then again after rewinding.
function rule() { print " " dashes }

function cycle(n,    i, line) {
  printf "\n => CYCLE No.:%5d\n", n
  rule()
  print " => Phase  1 Name: Bench nickel"
  rule()
  print " => New parameters, shifts, and standard deviations\n"
  print " Atom        x       dx      sx       y       dy      sy       z       dz      sz       B       dB      sB\n"
  bytes += 450
  for (i = 1; i <= ATOMS; i++) {
    line = sprintf(" Ni%-4d  %8.5f%8.5f%8.5f %8.5f%8.5f%8.5f %8.5f%8.5f%8.5f %8.5f%8.5f%8.5f", i,
                   (i % 97) / 97.0, 0.00001 * n, 0.00012, (i % 89) / 89.0, 0.0, 0.00011,
                   (i % 83) / 83.0, 0.0, 0.00013, 0.45 + i / 1000.0, 0.001, 0.0095)
    print line
    bytes += length(line) + 1
  }
  print "\n ==> PROFILE PARAMETERS FOR PATTERN#  1\n"
  printf " => Overall scale factor: %14.6f%14.6f%14.6f\n", 0.98765 + 0.00001 * n, 0.0012, 0.0351
  print " => Cell parameters: "
  for (i = 1; i <= 3; i++) printf "%16.6f%12.6f%12.6f\n", 3.5238 + 0.000001 * n, 0.0, 0.000021
  for (i = 1; i <= 3; i++) printf "%16.6f%12.6f%12.6f\n", 90.0, 0.0, 0.0
  print " => Preferred orientation: \n       0.000000    0.000000    0.000000"
  print " => Halfwidth parameters: \n       0.012300    0.000100    0.000200\n      -0.004500    0.000100    0.000200\n       0.003200    0.000100    0.000200"
  bytes += 560
}

BEGIN {
  if (MB == "") MB = 200
  if (FOU == "") FOU = "bench.fou"
  ATOMS = 40
  dashes = "---------------------------------------------------------------------------------------"
  target = MB * 1048576 - 200000

  print " => PCR file code: bench"
  print " => DAT file code: bench.dat        -> Relative contribution: 1.0000\n"
  print " ==> CONDITIONS OF THIS RUN FOR PATTERN No.:  1\n"
  print " => Global Refinement of X-ray powder data"
  print " => Title: Benchmark, nickel\n"
  print " => Number of phases:    1\n => Wavelengths:   1.54060  1.54060\n"
  n = 0
  while (bytes < target) cycle(++n)

  print ""
  rule()
  print " Pattern#  1 Phase No.   1 Phase name: Bench nickel"
  rule()
  print "\n No.  Code     H   K   L  Mult     Hw         2theta      Icalc       Iobs      Sigma      HwG     HwL       ETA       d-hkl        CORR\n"
  print " Structure factors of the benchmark run" > FOU
  print " Phase no.:   1 Bench nickel" > FOU
  for (i = 1; i <= 1500; i++) {
    h = 1 + i % 13; k = 1 + i % 7; l = i % 5
    iobs = 100.0 + (i * 37) % 5000
    printf "%5d%4d%7d%4d%4d%6d%10.6f%12.3f%11.1f%11.1f%11.3f%10.6f%10.6f%10.6f%10.6f%14.6f\n",
           i, 1, h, k, l, 8, 0.091, 20.0 + i * 0.1, iobs * 1.02, iobs, 9.087, 0.08, 0.02, 0.3,
           3.5238 / sqrt(h * h + k * k + l * l), 20.5
    printf "%4d%4d%4d%12.4f%12.4f%12.4f\n", h, k, l, 10.0 + i % 90, 9.8 + i % 90, (i % 2) * 180.0 > FOU
  }
  print "\n     -----------------------------------------------------"
  print "     BRAGG R-Factors and weight fractions for Pattern #  1"
  print "     -----------------------------------------------------\n"
  print " => Phase:  1     Bench nickel"
  print "\n => Run finished at:     Date: 06/12/2026  Time: 18:24:01.000"
}
