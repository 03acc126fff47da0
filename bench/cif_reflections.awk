# Writes a CIF reflection file of ROWS rows to standard output, for the CIF
# benchmark:
#
#   mawk -v KIND=mmcif -v ROWS=1000000 -f bench/cif_reflections.awk > big.cif
#   mawk -v KIND=fcf -v ROWS=3000 -f bench/cif_reflections.awk > small.fcf
#
# mmcif: a structure-factor file as the PDB distributes them (mmCIF names,
# eleven values a row: ids, h k l, status, F and its sigma, Fc and the phase),
# single crystal, C 1 2 1. fcf: SHELXL's LIST 6 (F^2, its sigma, Fc and the
# phase), P -1. Every row has a positive observed value, so that each one is
# converted; h, k and l stay within the output's five columns.
function row_values(i) {
  h = i % 61 - 30
  k = int(i / 61) % 41
  l = int(i / 2501) % 400 - 200
  seed = (seed * 69069 + 1) % 4294967296
  f = 1 + seed % 9999 / 100
  phase = seed % 4 * 90
}

BEGIN {
  ROWS = ROWS ? ROWS : 1000
  seed = 42
  if (KIND == "fcf") {
    print "data_bench"
    print "_shelx_title 'bench in P-1'"
    print "_shelx_refln_list_code          6"
    print "loop_"
    print " _symmetry_equiv_pos_as_xyz"
    print " 'x, y, z'"
    print " '-x, -y, -z'"
    print "_cell_length_a     7.9492"
    print "_cell_length_b     8.9757"
    print "_cell_length_c    11.3745"
    print "_cell_angle_alpha 106.974"
    print "_cell_angle_beta   91.963"
    print "_cell_angle_gamma 103.456"
    print "loop_"
    print " _refln_index_h"
    print " _refln_index_k"
    print " _refln_index_l"
    print " _refln_F_squared_meas"
    print " _refln_F_squared_sigma"
    print " _refln_F_calc"
    print " _refln_phase_calc"
    for (i = 1; i <= ROWS; i++) {
      row_values(i)
      printf "%d %d %d %.2f %.2f %.2f %.1f\n", h, k, l, f * f, f / 10, f, phase
    }
    exit
  }
  print "data_rbenchsf"
  print "_cell.entry_id      bench"
  print "_cell.length_a      50.347"
  print "_cell.length_b      4.777"
  print "_cell.length_c      14.746"
  print "_cell.angle_alpha   90.000"
  print "_cell.angle_beta    101.733"
  print "_cell.angle_gamma   90.000"
  print "_diffrn_radiation_wavelength.id           1"
  print "_diffrn_radiation_wavelength.wavelength   0.9791"
  print "_symmetry.space_group_name_H-M   \"C 1 2 1\""
  print "_symmetry.Int_Tables_number      5"
  print "loop_"
  print "_refln.crystal_id"
  print "_refln.wavelength_id"
  print "_refln.scale_group_code"
  print "_refln.index_h"
  print "_refln.index_k"
  print "_refln.index_l"
  print "_refln.status"
  print "_refln.F_meas_au"
  print "_refln.F_meas_sigma_au"
  print "_refln.F_calc_au"
  print "_refln.phase_calc"
  for (i = 1; i <= ROWS; i++) {
    row_values(i)
    printf "1 1 1 %d %d %d o %.2f %.2f %.2f %.1f\n", h, k, l, f, f / 10, f * 0.9, phase
  }
}
