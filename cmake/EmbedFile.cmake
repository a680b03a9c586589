# Turns a resource file into a C++ source that defines `const std::string_view NAME`,
# so the program carries its tables and needs no file next to the executable.
function(corvela_embed_file INPUT OUTPUT NAME)
  add_custom_command(
    OUTPUT ${OUTPUT}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${INPUT} -DOUTPUT=${OUTPUT} -DNAME=${NAME}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFileScript.cmake
    DEPENDS ${INPUT} ${PROJECT_SOURCE_DIR}/cmake/EmbedFileScript.cmake
    COMMENT "Embedding ${INPUT}")
endfunction()
