# A parameter file written by sfconv --init, filled in as a user would: each
# "?" value in turn becomes the next of `values` ("F 225|1085.6|1.0"), and the
# title and grid lines (found by their comments) become `title` and `grid`
# when these are given.
#   "$SFCONV" --init run.out | awk -v values='100.0' -v title='...' -f fill.awk
BEGIN { n = split(values, v, "|") }
/^[^#]+# title/ && title != "" { print title; next }
/^[^#]+# NX NY NZ/ && grid != "" { print grid; next }
{
  hash = index($0, "#")
  body = hash ? substr($0, 1, hash - 1) : $0
  k = split(body, word, " ")
  if (k == 0) { print; next }
  line = ""
  for (j = 1; j <= k; j++) {
    if (word[j] == "?") {
      if (++i > n) { print "fill.awk: more ? than values" > "/dev/stderr"; exit 1 }
      word[j] = v[i]
    }
    line = line (j > 1 ? " " : "") word[j]
  }
  print line (hash ? "   " substr($0, hash) : "")
}
END { if (i != n) { print "fill.awk: " n " values for " i " ?" > "/dev/stderr"; exit 1 } }
