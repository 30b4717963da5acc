# Writes OUTPUT, a C++ source whose function res::FUNCTION() returns the
# bytes of INPUT.   cmake -DINPUT=... -DOUTPUT=... -DFUNCTION=... -P embed_file.cmake
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp" "// Generated from ${name} by embed_file.cmake.
#include \"res/embedded_pictures.h\"

namespace res {
namespace {
const BYTE bytes[] = {
${bytes}};
}  // namespace

std::span<const BYTE> ${FUNCTION}() { return bytes; }

}  // namespace res
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
