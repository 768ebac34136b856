# Writes the bytes of INPUT as a C++ array named by SYMBOL into OUTPUT (run with cmake -P).
file(READ ${INPUT} _hex HEX)
string(LENGTH "${_hex}" _digits)
math(EXPR _size "${_digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," _bytes "${_hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n"
       _bytes "${_bytes}")
file(WRITE ${OUTPUT}
     "// Generated from ${INPUT}.\n#include <cstddef>\n#include <cstdint>\n"
     "extern const std::uint8_t ${SYMBOL}[] = {\n${_bytes}\n};\n"
     "extern const std::size_t ${SYMBOL}Size = ${_size};\n")
