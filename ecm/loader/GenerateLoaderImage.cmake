# Turns the assembled loader (raw binary, at most 256 bytes) into the C++
# source of the bootloader image: the bootstrap's 0xFF synchronisation byte,
# then the loader padded to 256 bytes with zeros.
# Usage: cmake -DINPUT=loader.bin -DOUTPUT=LoaderImage.cpp -P GenerateLoaderImage.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
if(size GREATER 256)
  message(FATAL_ERROR "The loader is ${size} bytes; the bootstrap takes only 256.")
endif()
math(EXPR padding "256 - ${size}")
string(REPEAT "00" ${padding} zeros)
set(hex "ff${hex}${zeros}")

set(body "")
foreach(row RANGE 0 256 16)
  math(EXPR first "${row} * 2")
  math(EXPR rest "514 - ${first}")
  if(rest GREATER 32)
    set(rest 32)
  endif()
  string(SUBSTRING "${hex}" ${first} ${rest} line)
  string(REGEX REPLACE "(..)" "0x\\1, " line "${line}")
  string(STRIP "${line}" line)
  string(APPEND body "    ${line}\n")
endforeach()

file(WRITE "${OUTPUT}" "// Generated from Loader.s by GenerateLoaderImage.cmake; do not edit.
// Rebuild with the 68HC11 binutils installed and run the target
// update-loader-image to refresh the committed copy.
#include \"LoaderImage.h\"

namespace tevra {

const std::array<std::uint8_t, 257> kBootloaderImage = {
${body}};

} // namespace tevra
")
