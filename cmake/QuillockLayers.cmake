# The program is built in layers, each a library that links only what it may use, each in a folder of its own:
#
#   quillock_os        src/os        the OS backends of the keystroke facility, the shell, the window focus and
#                                    regular files (no Qt)
#   quillock_domain    src/domain    the ciphers, the data file's schema and statement building (Qt Core at most)
#   quillock_platform  src/platform  the Qt stand-ins for the Windows facilities (database, grid, dialogs, ...)
#   quillock_system    src/system    the shared module, the master password, launching and printing
#   quillock_ui        src/ui        the windows
#
# A layer sees only its own headers and those of the layers below it: each layer's headers are linked into
# an include folder of its own in the build tree, and that folder is all the layers above get. A file that
# includes a header of a higher layer therefore fails to compile ("No such file or directory").

set(QUILLOCK_LAYER_ROOT ${CMAKE_BINARY_DIR}/layers)

# Gives the layer's headers (every .h among its sources) an include folder of the layer's own, and makes it
# the layer's public include directory. Every source of the layer must lie in its folder under src/, so the
# tree shows the layers one to one. Call it once all of the layer's sources are listed.
function(quillock_publish_headers layer folder)
    get_target_property(sources ${layer} SOURCES)
    get_target_property(sourceDir ${layer} SOURCE_DIR)
    set(root ${QUILLOCK_LAYER_ROOT}/${layer})
    file(REMOVE_RECURSE ${root})
    foreach(source IN LISTS sources)
        cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${sourceDir} NORMALIZE OUTPUT_VARIABLE path)
        # Generated sources (the Wayland protocols' client code) stay private to their layer.
        cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${path}" NORMALIZE inTree)
        cmake_path(IS_PREFIX PROJECT_BINARY_DIR "${path}" NORMALIZE generated)
        if(NOT inTree OR generated)
            continue()
        endif()
        cmake_path(RELATIVE_PATH path BASE_DIRECTORY ${PROJECT_SOURCE_DIR}/src OUTPUT_VARIABLE relative)
        if(NOT relative MATCHES "^${folder}/")
            message(FATAL_ERROR "${relative} is built in ${layer}, so it belongs under src/${folder}")
        endif()
        if(NOT source MATCHES "\\.h$")
            continue()
        endif()
        cmake_path(GET relative PARENT_PATH parent)
        file(MAKE_DIRECTORY ${root}/${parent})
        file(CREATE_LINK ${path} ${root}/${relative} SYMBOLIC COPY_ON_ERROR)
    endforeach()
    target_include_directories(${layer} PUBLIC ${root})
endfunction()
