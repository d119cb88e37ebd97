# Writes Version.h with the given MAJOR.MINOR version into a directory.
function(tolvane_version_header version directory)
    string(REPLACE "." ";" parts ${version})
    list(GET parts 0 TOLVANE_VERSION_MAJOR)
    list(GET parts 1 TOLVANE_VERSION_MINOR)
    set(TOLVANE_VERSION ${version})
    configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/Version.h.in ${directory}/Version.h @ONLY)
endfunction()
