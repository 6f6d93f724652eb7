# cmake -DINPUT=<file> -DOUTPUT=<source.cpp> -DSYMBOL=<name> -P embed_file.cmake
# Writes a C++ source that holds the bytes of INPUT as resources::<SYMBOL> and its size
# as resources::<SYMBOL>Size.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Sixteen bytes a line (CMake's regular expressions have no {n} repetition).
string(REPEAT "0x..," 16 line_pattern)
string(REGEX REPLACE "(${line_pattern})" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUTPUT}"
  "// Generated from ${INPUT} at build time.\n"
  "#include <cstddef>\n\n"
  "namespace resources {\n\n"
  "extern const unsigned char ${SYMBOL}[];\n"
  "extern const std::size_t ${SYMBOL}Size;\n\n"
  "const unsigned char ${SYMBOL}[] = {\n    ${bytes}\n};\n"
  "const std::size_t ${SYMBOL}Size = ${size};\n\n"
  "}  // namespace resources\n")
