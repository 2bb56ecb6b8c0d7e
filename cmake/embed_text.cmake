# Writes a C++ source that holds the bytes of a file as an array, so that documents kept in res/
# are built into korvo_core:
#   korvo_embed_text(<input file> <output .cpp> <symbol>)
# defines `extern const unsigned char <symbol>[]` (the bytes and a final 0) and
# `extern const std::size_t <symbol>_size` (without the 0) in namespace korvo. Runs at configure
# time; the input is a configure dependency, so editing it regenerates the source.
function(korvo_embed_text input output symbol)
  file(READ ${input} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
  set(content "// Generated from ${input} by cmake/embed_text.cmake; do not edit.\n")
  string(APPEND content "#include <cstddef>\nnamespace korvo {\n")
  string(APPEND content "extern const unsigned char ${symbol}[];\nextern const std::size_t ${symbol}_size;\n")
  string(APPEND content "const unsigned char ${symbol}[] = {\n${bytes}0x00};\n")
  string(APPEND content "const std::size_t ${symbol}_size = sizeof(${symbol}) - 1;\n}  // namespace korvo\n")
  if(EXISTS ${output})
    file(READ ${output} old)
  endif()
  if(NOT "${old}" STREQUAL "${content}")
    file(WRITE ${output} "${content}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${input})
endfunction()
