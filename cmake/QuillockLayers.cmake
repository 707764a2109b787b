# The program is built in layers, each a library that links only what it may use:
#
#   quillock_os        the OS backends of the keystroke facility and the shell (no Qt at all)
#   quillock_domain    the ciphers, the data file's schema and statement building (Qt Core at most)
#   quillock_platform  the Qt stand-ins for the Windows facilities (database, grid, dialogs, screen, ...)
#   quillock_system    the shared module, the master password and launching
#   quillock_ui        the windows
#
# A layer sees only its own headers and those of the layers below it: each layer's headers are linked into
# an include folder of its own in the build tree, and that folder is all the layers above get. A file that
# includes a header of a higher layer therefore fails to compile ("No such file or directory").

set(QUILLOCK_LAYER_ROOT ${CMAKE_BINARY_DIR}/layers)

# Gives the layer's headers (every .h among its sources) an include folder of the layer's own, and makes it
# the layer's public include directory. Call it once all of the layer's sources are listed.
function(quillock_publish_headers layer)
    get_target_property(sources ${layer} SOURCES)
    get_target_property(sourceDir ${layer} SOURCE_DIR)
    set(root ${QUILLOCK_LAYER_ROOT}/${layer})
    file(REMOVE_RECURSE ${root})
    foreach(source IN LISTS sources)
        if(NOT source MATCHES "\\.h$")
            continue()
        endif()
        cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${sourceDir} NORMALIZE OUTPUT_VARIABLE header)
        cmake_path(RELATIVE_PATH header BASE_DIRECTORY ${PROJECT_SOURCE_DIR}/src OUTPUT_VARIABLE relative)
        cmake_path(GET relative PARENT_PATH folder)
        file(MAKE_DIRECTORY ${root}/${folder})
        file(CREATE_LINK ${header} ${root}/${relative} SYMBOLIC COPY_ON_ERROR)
    endforeach()
    target_include_directories(${layer} PUBLIC ${root})
endfunction()
