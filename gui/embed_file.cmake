# Turns a file into a C source that defines its bytes as an array:
#   cmake -DINPUT=file -DOUTPUT=out.c -DSYMBOL=name -P embed_file.cmake
# defines `const unsigned char name[]` and `const unsigned long name_size`.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "/* Generated from ${INPUT} by embed_file.cmake. */\n"
  "#ifdef __cplusplus\nextern \"C\" {\n#endif\n"
  "extern const unsigned char ${SYMBOL}[];\nextern const unsigned long ${SYMBOL}_size;\n"
  "const unsigned char ${SYMBOL}[] = {\n${bytes}\n};\n"
  "const unsigned long ${SYMBOL}_size = ${size}UL;\n"
  "#ifdef __cplusplus\n}\n#endif\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
