# One folder of src/ as a static library of its own. A folder sees the
# headers of the folders it names as BELOW (and of theirs, in turn), never
# those above it: each library publishes an include directory that holds its
# own folder only, so an upward #include fails to compile.
#
#   tolvane_folder(<folder> [BELOW <folder>...] [SYSTEM <dll>...] [DLL_ONLY <file>...])
#
# SYSTEM names the Windows import libraries the folder calls into itself.
# DLL_ONLY names sources that replace parts of the C++ runtime: the DLL
# takes them itself (the global property TOLVANE_DLL_ONLY_SOURCES), the test
# programs keep the runtime's own.
function(tolvane_folder folder)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "BELOW;SYSTEM;DLL_ONLY")
    set(target tolvane_${folder})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    list(TRANSFORM arg_DLL_ONLY PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
    if(arg_DLL_ONLY)
        list(REMOVE_ITEM sources ${arg_DLL_ONLY})
        set_property(GLOBAL APPEND PROPERTY TOLVANE_DLL_ONLY_SOURCES ${arg_DLL_ONLY})
    endif()
    add_library(${target} STATIC ${sources})

    set(view ${CMAKE_BINARY_DIR}/folders/${folder})
    file(MAKE_DIRECTORY ${view})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${view}/${folder} SYMBOLIC)
    target_include_directories(${target} PUBLIC ${view} ${TOLVANE_GENERATED})

    list(TRANSFORM arg_BELOW PREPEND tolvane_)
    target_link_libraries(${target} PUBLIC ${arg_BELOW} ${arg_SYSTEM} kernel32)
    if(folder IN_LIST TOLVANE_SIZE_FOLDERS)
        target_compile_options(${target} PRIVATE ${TOLVANE_SIZE_OPTIONS})
    endif()
endfunction()
