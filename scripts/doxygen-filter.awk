# Doxygen's input filter for the framework headers: their own // comments become
# documentation. The comment that opens a file documents the file, and also the file's
# first class when no comment of its own precedes it (most headers say what their class
# is for at the top); a comment line of its own documents what follows; a comment after
# a member on its line documents that member. Text Doxygen would read as commands or
# markup is escaped.
function escape(text) {
  gsub(/\\/, "\\\\", text)
  gsub(/@/, "\\@", text)
  gsub(/</, "\\<", text)
  gsub(/>/, "\\>", text)
  gsub(/#/, "\\#", text)
  gsub(/%/, "\\%", text)
  gsub(/&/, "\\&", text)
  gsub(/\$/, "\\$", text)
  return text
}
BEGIN { opening = 1; lines = 0; commented = 0 }
{
  if (opening && $0 ~ /^\/\//) {
    text = $0
    sub(/^\/\/ ?/, "", text)
    opening_text[++lines] = escape(text)
    print (lines == 1 ? "/// @file\n/// " : "/// ") opening_text[lines]
    next
  }
  opening = 0
  if ($0 ~ /^class [A-Za-z_0-9]+ *[:{]/ && !commented && lines > 0) {
    for (i = 1; i <= lines; ++i) print "/// " opening_text[i]
    lines = 0
  }
  if ($0 ~ /^[ \t]*\/\/ ---/) { print ""; commented = 0; next }
  if ($0 ~ /^[ \t]*\/\//) {
    match($0, /^[ \t]*/)
    indent = substr($0, 1, RLENGTH)
    text = substr($0, RLENGTH + 3)
    sub(/^ /, "", text)
    print indent "/// " escape(text)
    commented = 1
    next
  }
  commented = 0
  if ($0 ~ /;[ \t]*\/\/ /) {
    position = index($0, "// ")
    print substr($0, 1, position - 1) "///< " escape(substr($0, position + 3))
    next
  }
  print
}
